// quorvane-mediagen: makes the program's pictures and sounds, and its icons, from nothing but
// fixed seeds, so that every build writes the same bytes.
//
// Usage: quorvane-mediagen <media-dir> [<icons-dir>]
//
// Pictures go to <media-dir>/pictures/<id>.png and, drawn at twice the size, <id>@2x.png.

#include "AppIcon.h"
#include "Backdrop.h"
#include "Ditherer.h"
#include "DomeAnimation.h"
#include "PngWriter.h"
#include "SceneLayout.h"
#include "SceneSounds.h"
#include "SleepIcon.h"
#include "SpeakerIcon.h"
#include "StarSprite.h"
#include "WavWriter.h"
#include "common/MediaItems.h"

#include <array>
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

// Every picture is made at the logical size and again at twice it, for screens of twice the
// density, named with "@2x".
constexpr std::array<PixelScale, 2> scales = {PixelScale(1), PixelScale(2)};

std::string picture_path(const fs::path& media_dir, std::string_view name, PixelScale scale) {
    const int id = media_items::item(name).id;
    const std::string suffix =
        scale.factor() == 1 ? "" : "@" + std::to_string(scale.factor()) + "x";
    return (media_dir / "pictures" / (std::to_string(id) + suffix + ".png")).string();
}

std::string sound_path(const fs::path& media_dir, std::string_view name) {
    const int id = media_items::item(name).id;
    return (media_dir / "sounds" / (std::to_string(id) + ".wav")).string();
}

// The small pictures of the top strip and the twinkling stars, at one scale.
void write_small_pictures(const fs::path& media_dir, PixelScale scale) {
    const auto write = [&](std::string_view name, int width, int height,
                           const std::vector<std::uint8_t>& pixels) {
        png.write(picture_path(media_dir, name, scale), scale.pixels(width), scale.pixels(height),
                  4, pixels);
    };
    for (int waves = 1; waves <= 3; ++waves) {
        write("speaker" + std::to_string(waves), SpeakerIcon::width, SpeakerIcon::height,
              SpeakerIcon(waves, scale).render());
    }
    write("star1", StarSprite::size, StarSprite::size, StarSprite(1.3f, scale).render());
    write("star1b", StarSprite::size, StarSprite::size, StarSprite(0.4f, scale).render());
    write("sleep1", SleepIcon::width, SleepIcon::height,
          SleepIcon(SleepIcon::Lit::No, scale).render());
    write("sleep2", SleepIcon::width, SleepIcon::height,
          SleepIcon(SleepIcon::Lit::Yes, scale).render());
}

// The backdrop, by far the largest picture, is made and packed in bands, joined into its file
// once all are done; it has the same size in pixels at every scale.
using Bands = std::vector<PngWriter::Band>;

std::vector<std::function<void()>> make_jobs(const fs::path& media_dir, const fs::path& icons_dir,
                                             const Ditherer& ditherer,
                                             const std::vector<DomeAnimation>& domes,
                                             const Backdrop& backdrop,
                                             std::array<Bands, scales.size()>& backdrop_bands) {
    std::vector<std::function<void()>> jobs;
    // Longest first, so that the two workers finish together.
    jobs.emplace_back(
        [media_dir] { WavWriter::write(sound_path(media_dir, "surf"), SceneSounds::surf()); });
    jobs.emplace_back(
        [media_dir] { WavWriter::write(sound_path(media_dir, "surf2"), SceneSounds::surf2()); });
    // The large frames first: each is four times the work of a small one.
    for (size_t s = scales.size(); s-- > 0;) {
        for (int i = 0; i < layout::dome_frames; ++i) {
            jobs.emplace_back([&, media_dir, s, i] {
                const DomeAnimation& dome = domes[s];
                png.write(picture_path(media_dir, media_items::kDomeFrames[static_cast<size_t>(i)],
                                       scales[s]),
                          dome.width(), dome.height(), 3, ditherer.encode(dome.frame(i)));
            });
        }
    }
    for (size_t s = 0; s < scales.size(); ++s) {
        Bands& bands = backdrop_bands[s];
        bands.resize((layout::sky_height + Backdrop::band_rows - 1) / Backdrop::band_rows);
        for (size_t i = 0; i < bands.size(); ++i) {
            jobs.emplace_back([&, s, i] {
                const int top = static_cast<int>(i) * Backdrop::band_rows;
                bands[i] = png.pack(ditherer.encode(backdrop.render(top, scales[s]), top),
                                    layout::sky_width, 3, i + 1 == bands.size());
            });
        }
    }
    jobs.emplace_back(
        [media_dir] { WavWriter::write(sound_path(media_dir, "walk"), SceneSounds::walk()); });
    jobs.emplace_back(
        [media_dir] { WavWriter::write(sound_path(media_dir, "splash"), SceneSounds::splash()); });
    jobs.emplace_back([media_dir] {
        for (const PixelScale scale : scales) {
            write_small_pictures(media_dir, scale);
        }
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
        std::vector<DomeAnimation> domes;
        for (const PixelScale scale : scales) {
            domes.emplace_back(scale);
        }
        const std::unique_ptr<Backdrop> backdrop = laid_out.get();
        std::array<Bands, scales.size()> backdrop_bands;
        const auto jobs =
            make_jobs(media_dir, icons_dir, ditherer, domes, *backdrop, backdrop_bands);

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
        for (size_t s = 0; s < scales.size(); ++s) {
            png.write_bands(picture_path(media_dir, "bigsky", scales[s]), layout::sky_width,
                            layout::sky_height, 3, backdrop_bands[s]);
        }
    } catch (const std::exception& error) {
        std::cerr << "quorvane-mediagen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
