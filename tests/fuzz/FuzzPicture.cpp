// Loads a picture item from arbitrary bytes: it decodes or is refused with a reason, never
// crashes, hangs or asks for unbounded memory.
#include "platform/graphics/Picture.h"
#include "platform/graphics/PngDecoder.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    std::optional<platform::Image> image =
        platform::PngDecoder::decode(std::span(data, size), error);
    if (!image) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    if (image->width() > platform::PngDecoder::kMaxSide ||
        image->height() > platform::PngDecoder::kMaxSide)
        __builtin_trap();
    platform::Picture picture(std::move(*image));
    return picture.Width() > 0 ? 0 : 0;
}
