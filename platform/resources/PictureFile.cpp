#include "platform/resources/PictureFile.h"

#include "platform/resources/FolderResourceFork.h"

#include <fstream>

namespace platform {

namespace fs = std::filesystem;

PictureFile::PictureFile(fs::path path) : m_path(std::move(path)) {
}

std::optional<PngDecoder::Part> PictureFile::decode_part(int width, int height,
                                                         std::string& error) const {
    return decode_part(PngDecoder::known(width, height), 0, error);
}

std::optional<PngDecoder::Part>
PictureFile::decode_part(const std::shared_future<PngDecoder::Extent>& extent, int rows_ahead,
                         std::string& error) const {
    std::optional<uintmax_t> size = FolderResourceFork::file_size(m_path, error);
    if (!size)
        return std::nullopt;
    // Read as the decoder asks, front to back: a part of a large picture leaves the rest of
    // the file unread.
    std::ifstream in(m_path, std::ios::binary);
    uint64_t at = 0;
    PngDecoder::Input input{*size, [&in, &at](uint64_t offset, std::span<uint8_t> out) {
                                if (offset != at)
                                    in.seekg(static_cast<std::streamoff>(offset));
                                in.read(reinterpret_cast<char*>(out.data()),
                                        static_cast<std::streamsize>(out.size()));
                                at = offset + out.size();
                                return static_cast<bool>(in);
                            }};
    std::optional<PngDecoder::Part> part =
        PngDecoder::decode_part(input, extent, rows_ahead, error);
    if (!part)
        error = m_path.string() + ": " + (in ? error : "cannot be read");
    return part;
}

} // namespace platform
