#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform {

// Stand-in: the record layout the slider control writes byte by byte. The 32-byte record that
// describes a themed slider track to the track renderer: packed on
// 2-byte boundaries, numbers in the machine's own byte order. A control fills it in a memory
// block at the offsets below; the renderer reads it back through read().
#pragma pack(push, 2)
struct ThemeTrackDrawInfo {
    // kind
    static constexpr int16_t kMediumSlider = 2;
    static constexpr int16_t kSmallSlider = 6;
    // attributes
    static constexpr uint16_t kHorizontal = 1 << 0;
    static constexpr uint16_t kRightToLeft = 1 << 1;
    static constexpr uint16_t kShowThumb = 1 << 2;
    // Without it the thumb is drawn as a see-through ghost.
    static constexpr uint16_t kThumbOpaque = 1 << 3;
    // enable_state
    static constexpr uint8_t kActive = 0;
    static constexpr uint8_t kDisabled = 1;
    // thumb_direction: a plain thumb is round; the others point up (or left on a vertical
    // track) or down (or right).
    static constexpr uint8_t kThumbPlain = 0;
    static constexpr uint8_t kThumbUpward = 1;
    static constexpr uint8_t kThumbDownward = 2;
    // press_state
    static constexpr uint8_t kThumbPressed = 8;
    // The bounds are the control's frame inset by these, in the holding window's coordinates.
    static constexpr int kInsetTopLeft = 2;
    static constexpr int kInsetBottomRight = 4;

    int16_t kind;
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
    int32_t min;
    int32_t max;
    int32_t value;
    int32_t reserved;
    uint16_t attributes;
    uint8_t enable_state;
    uint8_t filler;
    uint8_t thumb_direction;
    uint8_t press_state;

    static ThemeTrackDrawInfo read(const void* address) {
        ThemeTrackDrawInfo info;
        std::memcpy(&info, address, sizeof info);
        return info;
    }
};
#pragma pack(pop)

static_assert(sizeof(ThemeTrackDrawInfo) == 32);
static_assert(offsetof(ThemeTrackDrawInfo, min) == 10);
static_assert(offsetof(ThemeTrackDrawInfo, reserved) == 22);
static_assert(offsetof(ThemeTrackDrawInfo, attributes) == 26);
static_assert(offsetof(ThemeTrackDrawInfo, press_state) == 31);

} // namespace platform
