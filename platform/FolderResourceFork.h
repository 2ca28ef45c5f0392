#pragma once

#include "platform/ResourceFork.h"

#include <filesystem>
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

    Ref<Picture> GetPicture(int32_t id) override;
    Ref<Sound> GetSound(int32_t id) override;

    const std::filesystem::path& folder() const { return m_folder; }

    // The places the media folder is looked for, for a program at executable: beside it in
    // the build tree, then share/quorvane/media of the prefix it is installed in.
    static std::vector<std::filesystem::path> candidates(const std::filesystem::path& executable);
    // The first candidate that holds a pictures or sounds folder.
    static std::optional<std::filesystem::path> locate(const std::filesystem::path& executable);

    // Files larger than this are refused unread.
    static constexpr uintmax_t kMaxFileBytes = 256u << 20;

private:
    // The file's bytes; nothing when it is missing or unreadable, reporting why once.
    std::optional<std::vector<uint8_t>> read(const std::filesystem::path& file, const char* kind,
                                             int32_t id);
    void report_once(const char* kind, int32_t id, const std::string& why);

    std::filesystem::path m_folder;
    std::set<std::pair<std::string, int32_t>> m_reported;
};

} // namespace platform
