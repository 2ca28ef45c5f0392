#pragma once

#include "platform/graphics/PngDecoder.h"
#include "platform/resources/PictureFileSet.h"
#include "platform/resources/ResourceFork.h"

#include <filesystem>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The resource container as a folder beside the program: pictures/<id>.png and
// sounds/<id>.wav. A file that is missing or cannot be decoded answers nil; the reason is
// reported once on stderr.
class FolderResourceFork : public ResourceFork {
public:
    explicit FolderResourceFork(std::filesystem::path folder);

    ~FolderResourceFork() override;

    Ref<Picture> GetPicture(int32_t id) override;
    Ref<Sound> GetSound(int32_t id) override;

    // Pictures drawn from the screen's top-left corner, as a backdrop is: each is decoded only
    // as far as the screen reaches, and keeps its file to cover more if the screen grows
    // (Picture::cover). Said before they are prefetched.
    void fit_to_screen(const std::vector<int32_t>& ids);
    // The screen's size, known once the display is open, and again whenever it changes. Asked
    // for before it is known, pictures that fit the screen are decoded whole. Pictures asked for
    // from then on come at the scale's pixels (PictureFileSet).
    void set_screen(int width, int height, Scale scale) override;

    // Starts decoding pictures the program is about to ask for on other threads, so that
    // start-up overlaps decoding with opening the display. The pictures are taken in the order
    // given, each by the next free thread; one that fits the screen is decoded ahead, whole, for
    // its first rows until the screen's size is known, then cut to it. A prefetched picture
    // answers the first request for its id; later requests read the folder again.
    void prefetch_pictures(const std::vector<int32_t>& ids, int threads);

    const std::filesystem::path& folder() const { return m_folder; }

    // The places the media folder is looked for, for a program at executable: beside it in
    // the build tree, then share/quorvane/media of the prefix it is installed in.
    static std::vector<std::filesystem::path> candidates(const std::filesystem::path& executable);
    // The first candidate that holds a pictures or sounds folder.
    static std::optional<std::filesystem::path> locate(const std::filesystem::path& executable);

    // Files larger than this are refused unread.
    static constexpr uintmax_t kMaxFileBytes = 256u << 20;
    // The size of a file the folder may read; nothing when it is missing or too large, with the
    // reason, naming the file, in error.
    static std::optional<uintmax_t> file_size(const std::filesystem::path& file,
                                              std::string& error);

private:
    using Extent = PngDecoder::Extent;
    // Rows of a picture that fits the screen decoded ahead while the display opens, before the
    // screen's size is known: those of the most common screens. They are decoded whole, so this
    // bounds what that costs: 33 MB for a 7680-pixel-wide backdrop, for a moment.
    static constexpr int kRowsAhead = 1080;
    struct Decoded {
        std::optional<PngDecoder::Part> part;
        std::string error;
    };
    std::filesystem::path picture_file(int32_t id) const;
    // Kept by id, so that what a picture's files have to say is said once.
    std::shared_ptr<PictureFileSet> picture_files(int32_t id);
    void set_screen_size(int width, int height);

    // The file's bytes; nothing when it is missing or unreadable, with the reason in error.
    static std::optional<std::vector<uint8_t>> read(const std::filesystem::path& file,
                                                    std::string& error);
    void report_once(const char* kind, int32_t id, const std::string& why);

    std::filesystem::path m_folder;
    std::set<std::pair<std::string, int32_t>> m_reported;
    std::set<int32_t> m_screen_sized;
    std::map<int32_t, std::shared_ptr<PictureFileSet>> m_files;
    std::optional<Extent> m_screen;
    Scale m_scale;
    // The first size given, which the prefetch waits for.
    std::promise<Extent> m_first_screen;
    struct Prefetch;
    std::shared_ptr<Prefetch> m_prefetch;
    std::map<int32_t, std::future<Decoded>> m_prefetched;
    std::vector<std::future<void>> m_workers;
};

} // namespace platform
