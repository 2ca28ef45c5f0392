#pragma once

#include <cstdint>

namespace platform {

// Where a slider's thumb lies along its track. The slider control maps the pointer with it and
// the track renderer places the thumb with it, so the thumb is drawn exactly where a press puts
// it: the thumb's middle pixel under the pointer.
struct TrackGeometry {
    static constexpr int kRoundThumb = 15;
    static constexpr int kPointedThumb = 14;
    static constexpr int kSmallThumb = 12;

    // The control's length along the track and the thumb's, in pixels.
    int extent = 0;
    int thumb = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    // The value runs from the far end: maximum at the left or top.
    bool reversed = false;

    // Half the thumb in whole pixels, rounded down: 7 for the 15-pixel thumb, whose middle pixel
    // is then its eighth, the one under the pointer.
    int half() const { return thumb / 2; }
    // How far the thumb's leading edge moves; not positive when the control is no longer than
    // its thumb.
    int travel() const { return extent - thumb; }
    // The value at which the thumb starts: minimum, or maximum when reversed.
    int32_t start_value() const { return reversed ? maximum : minimum; }

    // The value for a pointer at coordinate coord along the track (the control's own
    // coordinates): positions up to half() give the start value, positions from travel() +
    // half() on the end value, halves round away from zero. A control too short for its thumb
    // gives the start value.
    int32_t value_at(int coord) const;
    // The thumb's leading edge for a value, from 0 to travel(), in whole pixels; values outside
    // the range stop at the ends.
    int thumb_offset(int32_t value) const;
};

} // namespace platform
