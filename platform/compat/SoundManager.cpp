#include "platform/compat/SoundManager.h"

#include "platform/base/FailureLog.h"
#include "platform/loop/EventLoop.h"
#include "platform/sound/DesktopServices.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

uint8_t channel_level(int16_t half) {
    return static_cast<uint8_t>(std::clamp<int>(half, 0, 255));
}

OutputVolume& output_volume() {
    return DesktopServices::current().output_volume();
}

} // namespace

void SetDefaultOutputVolume(int32_t level) {
    // Read back the way MemoryBlock wrote it, in the machine's own byte order.
    int16_t halves[2];
    std::memcpy(halves, &level, sizeof halves);
    output_volume().set(channel_level(halves[0]), channel_level(halves[1]));
}

std::optional<OutputVolume::Reading> GetDefaultOutputVolume() {
    return output_volume().read();
}

std::shared_ptr<void> WatchDefaultOutputVolume(const std::string& handler_name,
                                               std::function<void()> handler) {
    return output_volume().watch([handler_name, handler = std::move(handler)] {
        EventLoop::current().failures().guard(handler_name, handler);
    });
}

} // namespace platform
