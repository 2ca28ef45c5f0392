#pragma once

#include "platform/graphics/PictureSource.h"
#include "platform/graphics/PngDecoder.h"

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// A picture of the media folder as its two files: <id>.png, and <id>@2x.png drawn at twice the
// size for screens of a higher scale. Scale 1 takes the first; any larger scale takes the second,
// shrunk when it is loaded where the scale is below 2. Where the large file is missing or
// damaged, the small one is enlarged instead, and that is said once.
class PictureFileSet : public PictureSource {
public:
    PictureFileSet(std::filesystem::path small, std::filesystem::path large);

    // The top-left part covering width x height logical pixels at the device pixels of scale,
    // and the whole picture's size in logical pixels; nothing when neither file can be read,
    // with the reason in error.
    std::optional<PngDecoder::Part> decode_part(int width, int height, Scale scale,
                                                std::string& error) const;
    std::optional<Image> decode(int width, int height, Scale scale,
                                std::string& error) const override;

    // A part of the small file, decoded elsewhere, brought to scale's device pixels.
    static PngDecoder::Part fitted(PngDecoder::Part part, Scale scale);

private:
    std::filesystem::path m_small;
    std::filesystem::path m_large;
    mutable bool m_said_enlarged = false;
};

} // namespace platform
