// Loads a sound item from arbitrary bytes: it decodes or is refused with a reason, never
// crashes, hangs or asks for unbounded memory.
#include "platform/sound/WavDecoder.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    std::optional<platform::PcmSound> pcm =
        platform::WavDecoder::decode(std::span(data, size), error);
    if (!pcm) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    if (pcm->channels < 1 || pcm->channels > 2 || pcm->frames() < 1 ||
        pcm->duration_seconds() > platform::WavDecoder::kMaxSeconds)
        __builtin_trap();
    return 0;
}
