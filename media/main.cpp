// quorvane-mediagen: makes the program's pictures and sounds, and its icons, from nothing but
// fixed seeds, so that every build writes the same bytes.
//
// Usage: quorvane-mediagen <media-dir> [<icons-dir>]

#include "AppIcon.h"
#include "Backdrop.h"
#include "Ditherer.h"
#include "DomeAnimation.h"
#include "PngWriter.h"
#include "SceneLayout.h"
#include "SceneSounds.h"
#include "SpeakerIcon.h"
#include "StarSprite.h"
#include "WavWriter.h"
#include "common/MediaItems.h"

#include <atomic>
#include <exception>
#include <filesystem>
#include <functional>
#include <future>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace media;

namespace {

// Level 6: a third of the size of level 1 and quicker to inflate; level 9 gains little more at
// four times the cost.
const PngWriter png(6);

std::string picture_path(const fs::path& media_dir, std::string_view name) {
    const int id = media_items::item(name).id;
    return (media_dir / "pictures" / (std::to_string(id) + ".png")).string();
}

std::string sound_path(const fs::path& media_dir, std::string_view name) {
    const int id = media_items::item(name).id;
    return (media_dir / "sounds" / (std::to_string(id) + ".wav")).string();
}

std::vector<std::function<void()>> make_jobs(const fs::path& media_dir, const fs::path& icons_dir,
                                             const Ditherer& ditherer, const DomeAnimation& dome,
                                             const Backdrop& backdrop,
                                             std::vector<PngWriter::Band>& backdrop_bands) {
    std::vector<std::function<void()>> jobs;
    // Longest first, so that the two workers finish together.
    jobs.emplace_back(
        [media_dir] { WavWriter::write(sound_path(media_dir, "surf"), SceneSounds::surf()); });
    jobs.emplace_back(
        [media_dir] { WavWriter::write(sound_path(media_dir, "surf2"), SceneSounds::surf2()); });
    for (int i = 0; i < layout::dome_frames; ++i) {
        jobs.emplace_back([&, media_dir, i] {
            png.write(picture_path(media_dir, media_items::kDomeFrames[static_cast<size_t>(i)]),
                      layout::dome_width, layout::dome_height, 3, ditherer.encode(dome.frame(i)));
        });
    }
    // The backdrop, by far the largest picture, is made and packed in bands, joined into its
    // file once all are done.
    backdrop_bands.resize((layout::sky_height + Backdrop::band_rows - 1) / Backdrop::band_rows);
    for (size_t i = 0; i < backdrop_bands.size(); ++i) {
        jobs.emplace_back([&, i] {
            const int top = static_cast<int>(i) * Backdrop::band_rows;
            backdrop_bands[i] = png.pack(ditherer.encode(backdrop.render(top), top),
                                         layout::sky_width, 3, i + 1 == backdrop_bands.size());
        });
    }
    jobs.emplace_back(
        [media_dir] { WavWriter::write(sound_path(media_dir, "walk"), SceneSounds::walk()); });
    jobs.emplace_back(
        [media_dir] { WavWriter::write(sound_path(media_dir, "splash"), SceneSounds::splash()); });
    jobs.emplace_back([media_dir] {
        for (int waves = 1; waves <= 3; ++waves) {
            png.write(picture_path(media_dir, "speaker" + std::to_string(waves)),
                      SpeakerIcon::width, SpeakerIcon::height, 4, SpeakerIcon(waves).render());
        }
        png.write(picture_path(media_dir, "star1"), StarSprite::size, StarSprite::size, 4,
                  StarSprite(1.3f).render());
        png.write(picture_path(media_dir, "star1b"), StarSprite::size, StarSprite::size, 4,
                  StarSprite(0.4f).render());
    });
    if (!icons_dir.empty()) {
        jobs.emplace_back([icons_dir] {
            for (int size : {48, 64, 128, 256}) {
                const fs::path folder =
                    icons_dir / (std::to_string(size) + "x" + std::to_string(size));
                fs::create_directories(folder);
                png.write((folder / "quorvane.png").string(), size, size, 4,
                          AppIcon(size).render());
            }
        });
    }
    return jobs;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: quorvane-mediagen <media-dir> [<icons-dir>]\n";
        return 2;
    }
    try {
        const fs::path media_dir = argv[1];
        const fs::path icons_dir = argc == 3 ? fs::path(argv[2]) : fs::path();
        fs::create_directories(media_dir / "pictures");
        fs::create_directories(media_dir / "sounds");

        const Ditherer ditherer(0x64697468);
        // The dome's haze and the backdrop's stars take a while to lay out: both at once.
        auto laid_out = std::async(std::launch::async, [] { return std::make_unique<Backdrop>(); });
        const DomeAnimation dome;
        const std::unique_ptr<Backdrop> backdrop = laid_out.get();
        std::vector<PngWriter::Band> backdrop_bands;
        const auto jobs =
            make_jobs(media_dir, icons_dir, ditherer, dome, *backdrop, backdrop_bands);

        std::atomic<size_t> next{0};
        std::mutex failure_lock;
        std::exception_ptr failure;
        auto worker = [&] {
            for (size_t i = next++; i < jobs.size(); i = next++) {
                try {
                    jobs[i]();
                } catch (...) {
                    const std::lock_guard lock(failure_lock);
                    failure = std::current_exception();
                }
            }
        };
        std::thread helper(worker);
        worker();
        helper.join();
        if (failure) {
            std::rethrow_exception(failure);
        }
        png.write_bands(picture_path(media_dir, "bigsky"), layout::sky_width, layout::sky_height, 3,
                        backdrop_bands);
    } catch (const std::exception& error) {
        std::cerr << "quorvane-mediagen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
