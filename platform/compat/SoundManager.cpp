#include "platform/compat/SoundManager.h"

#include "platform/Runtime.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

uint8_t channel_level(int16_t half) {
    return static_cast<uint8_t>(std::clamp<int>(half, 0, 255));
}

} // namespace

void SetDefaultOutputVolume(int32_t level) {
    // Read back the way MemoryBlock wrote it, in the machine's own byte order.
    int16_t halves[2];
    std::memcpy(halves, &level, sizeof halves);
    Runtime::current().backend().output_volume().set(channel_level(halves[0]),
                                                     channel_level(halves[1]));
}

} // namespace platform
