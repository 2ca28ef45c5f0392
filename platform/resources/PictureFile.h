#pragma once

#include "platform/graphics/PngDecoder.h"

#include <filesystem>
#include <future>
#include <optional>
#include <string>

namespace platform {

// A PNG file of the media folder, read only as far as the part of it asked for.
class PictureFile {
public:
    explicit PictureFile(std::filesystem::path path);

    // The top-left part, at most width x height pixels, and the whole picture's size; nothing
    // when the file is missing, too large (FolderResourceFork::kMaxFileBytes) or damaged, with the
    // reason, naming the file, in error.
    std::optional<PngDecoder::Part> decode_part(int width, int height, std::string& error) const;
    // The same for a part whose size may come later (PngDecoder::decode_part).
    std::optional<PngDecoder::Part>
    decode_part(const std::shared_future<PngDecoder::Extent>& extent, int rows_ahead,
                std::string& error) const;

private:
    std::filesystem::path m_path;
};

} // namespace platform
