// Loads a picture item from arbitrary bytes: it decodes or is refused with a reason, never
// crashes, hangs or asks for unbounded memory. Its top-left part, decoded ahead before its size
// is known, decodes wherever the whole does, to the same pixels.
#include "platform/graphics/Picture.h"
#include "platform/graphics/PngDecoder.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <future>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    std::optional<platform::Image> image =
        platform::PngDecoder::decode(std::span(data, size), error);
    if (!image && error.empty())
        __builtin_trap();
    if (image && (image->width() > platform::PngDecoder::kMaxSide ||
                  image->height() > platform::PngDecoder::kMaxSide))
        __builtin_trap();

    platform::PngDecoder::Input input{size, [data](uint64_t offset, std::span<uint8_t> out) {
                                          std::memcpy(out.data(), data + offset, out.size());
                                          return true;
                                      }};
    // The part's size comes only once three rows have been decoded ahead, whole.
    std::string part_error;
    std::optional<platform::PngDecoder::Part> part =
        platform::PngDecoder::decode_part(input,
                                          std::async(std::launch::deferred,
                                                     [] {
                                                         return platform::PngDecoder::Extent{9, 5};
                                                     })
                                              .share(),
                                          3, part_error);
    if (!part && part_error.empty())
        __builtin_trap();
    if (image && !part)
        __builtin_trap();
    if (image) {
        const platform::Image& corner = part->image;
        if (corner.width() != std::min(9, image->width()) ||
            corner.height() != std::min(5, image->height()))
            __builtin_trap();
        for (int y = 0; y < corner.height(); ++y)
            for (int x = 0; x < corner.width(); ++x)
                if (corner.at(x, y) != image->at(x, y))
                    __builtin_trap();
        platform::Picture picture(std::move(*image));
        return picture.Width() > 0 ? 0 : 0;
    }
    return 0;
}
