#pragma once

#include "platform/resources/ResourceFork.h"

#include <filesystem>
#include <future>
#include <map>
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

    // Starts decoding pictures the program is about to ask for on other threads, so that
    // start-up overlaps decoding with opening the display. Each group is decoded in order on a
    // thread of its own. A prefetched picture answers the first request for its id; later
    // requests read the folder again.
    void prefetch_pictures(const std::vector<std::vector<int32_t>>& groups);

    const std::filesystem::path& folder() const { return m_folder; }

    // The places the media folder is looked for, for a program at executable: beside it in
    // the build tree, then share/quorvane/media of the prefix it is installed in.
    static std::vector<std::filesystem::path> candidates(const std::filesystem::path& executable);
    // The first candidate that holds a pictures or sounds folder.
    static std::optional<std::filesystem::path> locate(const std::filesystem::path& executable);

    // Files larger than this are refused unread.
    static constexpr uintmax_t kMaxFileBytes = 256u << 20;

private:
    struct Decoded {
        std::optional<Image> image;
        std::string error;
    };
    static Decoded decode_picture(const std::filesystem::path& file);
    std::filesystem::path picture_file(int32_t id) const;

    // The file's bytes; nothing when it is missing or unreadable, with the reason in error.
    static std::optional<std::vector<uint8_t>> read(const std::filesystem::path& file,
                                                    std::string& error);
    void report_once(const char* kind, int32_t id, const std::string& why);

    std::filesystem::path m_folder;
    std::set<std::pair<std::string, int32_t>> m_reported;
    std::map<int32_t, std::future<Decoded>> m_prefetched;
    std::vector<std::future<void>> m_workers;
};

} // namespace platform
