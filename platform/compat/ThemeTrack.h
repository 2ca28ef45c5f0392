#pragma once

#include <cstdint>

namespace platform {

class Graphics;

// Stand-in: the system's themed slider drawing, which the slider control calls with a record, as
// on the platform it was first written for. The slider is drawn from a ThemeTrackDrawInfo record
// alone: a thin rounded groove, the part from the start value to the thumb in the accent colour,
// and a round or pointed anti-aliased thumb placed where the slider's pointer mapping puts the
// record's value.
//
// g must draw in the coordinates of the window that holds the slider (its origin at the
// window's top-left), as the record's bounds are; what is drawn is clipped to g's clip.

// Draws the track and its thumb.
void DrawThemeTrack(Graphics& g, const void* draw_info);
// Draws count tick marks beside the track, on the side the thumb points to, at evenly spaced
// thumb positions from one end to the other.
void DrawThemeTrackTickMarks(Graphics& g, const void* draw_info, int32_t count);

} // namespace platform
