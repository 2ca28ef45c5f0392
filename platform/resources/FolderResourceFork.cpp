#include "platform/resources/FolderResourceFork.h"

#include "platform/resources/PictureFile.h"
#include "platform/resources/ProgramLocation.h"
#include "platform/sound/WavDecoder.h"

#include <atomic>
#include <fstream>
#include <iostream>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

FolderResourceFork::FolderResourceFork(fs::path folder) : m_folder(std::move(folder)) {
}

void FolderResourceFork::report_once(const char* kind, int32_t id, const std::string& why) {
    if (m_reported.insert({kind, id}).second)
        std::cerr << "quorvane: " << kind << " " << id << ": " << why << std::endl;
}

std::optional<uintmax_t> FolderResourceFork::file_size(const fs::path& file, std::string& error) {
    std::error_code ec;
    uintmax_t size = fs::file_size(file, ec);
    if (ec) {
        error = file.string() + ": " + ec.message();
        return std::nullopt;
    }
    if (size > kMaxFileBytes) {
        error = file.string() + ": file too large";
        return std::nullopt;
    }
    return size;
}

std::optional<std::vector<uint8_t>> FolderResourceFork::read(const fs::path& file,
                                                             std::string& error) {
    std::optional<uintmax_t> size = file_size(file, error);
    if (!size)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes(static_cast<size_t>(*size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(*size))) {
        error = file.string() + ": cannot be read";
        return std::nullopt;
    }
    return bytes;
}

fs::path FolderResourceFork::picture_file(int32_t id) const {
    return m_folder / "pictures" / (std::to_string(id) + ".png");
}

std::shared_ptr<PictureFileSet> FolderResourceFork::picture_files(int32_t id) {
    std::shared_ptr<PictureFileSet>& files = m_files[id];
    if (!files)
        files = std::make_shared<PictureFileSet>(
            picture_file(id), m_folder / "pictures" / (std::to_string(id) + "@2x.png"));
    return files;
}

void FolderResourceFork::fit_to_screen(const std::vector<int32_t>& ids) {
    m_screen_sized.insert(ids.begin(), ids.end());
}

// The pictures being prefetched, shared with the threads that decode them.
struct FolderResourceFork::Prefetch {
    struct Item {
        fs::path file;
        bool fits_screen = false;
        std::promise<Decoded> decoded;
    };

    // Decodes the next picture not taken yet, until none is left or none is wanted any more.
    void work() {
        for (size_t i = next++; i < items.size() && !stopped; i = next++) {
            const PictureFile file(items[i].file);
            Decoded decoded;
            decoded.part =
                items[i].fits_screen
                    ? file.decode_part(screen, kRowsAhead, decoded.error)
                    : file.decode_part(PngDecoder::kMaxSide, PngDecoder::kMaxSide, decoded.error);
            items[i].decoded.set_value(std::move(decoded));
        }
    }

    std::shared_future<Extent> screen;
    std::atomic<size_t> next{0};
    std::atomic<bool> stopped{false};
    // Fixed before the threads start.
    std::vector<Item> items;
};

void FolderResourceFork::set_screen(int width, int height, Scale scale) {
    m_scale = scale;
    set_screen_size(width, height);
}

void FolderResourceFork::set_screen_size(int width, int height) {
    if (!m_screen)
        m_first_screen.set_value({width, height});
    m_screen = Extent{width, height};
}

void FolderResourceFork::prefetch_pictures(const std::vector<int32_t>& ids, int threads) {
    m_prefetch = std::make_shared<Prefetch>();
    m_prefetch->screen = m_first_screen.get_future().share();
    m_prefetch->items.resize(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        Prefetch::Item& item = m_prefetch->items[i];
        item.file = picture_file(ids[i]);
        item.fits_screen = m_screen_sized.contains(ids[i]);
        m_prefetched[ids[i]] = item.decoded.get_future();
    }
    for (int i = 0; i < threads; ++i)
        m_workers.push_back(
            std::async(std::launch::async, [prefetch = m_prefetch] { prefetch->work(); }));
}

FolderResourceFork::~FolderResourceFork() {
    // What is still to be decoded is no longer wanted; a picture waiting for the screen's size
    // is cut to nothing.
    if (m_prefetch)
        m_prefetch->stopped = true;
    if (!m_screen)
        set_screen_size(0, 0);
    for (std::future<void>& worker : m_workers)
        worker.wait();
}

Ref<Picture> FolderResourceFork::GetPicture(int32_t id) {
    // Asked for before the screen's size is known, a picture that fits the screen is decoded
    // whole, and so is one still waiting for the size in the prefetch, which might otherwise
    // hold up this answer.
    if (!m_screen && !m_screen_sized.empty())
        set_screen_size(PngDecoder::kMaxSide, PngDecoder::kMaxSide);
    Decoded decoded;
    std::shared_ptr<PictureFileSet> files = picture_files(id);
    if (auto it = m_prefetched.find(id); it != m_prefetched.end()) {
        decoded = it->second.get(); // moved out: the decoded pixels are not kept twice
        m_prefetched.erase(it);
        // Prefetched before the scale was known, at scale 1: brought to the screen's scale from
        // the larger file if there is one, the first time it is drawn (Picture::image_at).
    } else {
        const Extent e = m_screen_sized.contains(id) ? *m_screen : Extent{};
        decoded.part = files->decode_part(e.width, e.height, m_scale, decoded.error);
        if (decoded.part)
            return make_ref<Picture>(std::move(decoded.part->image), m_scale,
                                     std::min(e.width, decoded.part->file_width),
                                     std::min(e.height, decoded.part->file_height),
                                     decoded.part->file_width, decoded.part->file_height,
                                     std::move(files));
    }
    if (!decoded.part) {
        report_once("picture", id, decoded.error);
        return nullptr;
    }
    PngDecoder::Part& part = *decoded.part;
    const int w = part.image.width(), h = part.image.height();
    return make_ref<Picture>(std::move(part.image), Scale{}, w, h, part.file_width,
                             part.file_height, std::move(files));
}

Ref<Sound> FolderResourceFork::GetSound(int32_t id) {
    fs::path file = m_folder / "sounds" / (std::to_string(id) + ".wav");
    std::string error;
    std::optional<std::vector<uint8_t>> bytes = read(file, error);
    if (!bytes) {
        report_once("sound", id, error);
        return nullptr;
    }
    std::optional<PcmSound> pcm = WavDecoder::decode(*bytes, error);
    if (!pcm) {
        report_once("sound", id, file.string() + ": " + error);
        return nullptr;
    }
    return make_ref<Sound>(std::make_shared<const PcmSound>(std::move(*pcm)),
                           "sound " + std::to_string(id));
}

std::vector<fs::path> FolderResourceFork::candidates(const fs::path& executable) {
    return ProgramLocation::candidates(executable, "media", fs::path("quorvane") / "media");
}

std::optional<fs::path> FolderResourceFork::locate(const fs::path& executable) {
    for (const fs::path& c : candidates(executable)) {
        std::error_code ec;
        if (fs::is_directory(c / "pictures", ec) || fs::is_directory(c / "sounds", ec))
            return c;
    }
    return std::nullopt;
}

} // namespace platform
