#pragma once

namespace media::layout {

// The backdrop is drawn at the screen's top-left corner and must cover the largest screens;
// every screen from 800 x 600 up, landscape or portrait, shows its top-left part.
constexpr int sky_width = 7680;
constexpr int sky_height = 4320;
// The row where the sky reaches its horizon colour: the bottom of a 3840 x 2160 screen.
constexpr int horizon_row = 2160;

// The dome frames are drawn at x = screen width - dome_width, y = 0, so they end at the right
// edge of every screen.
constexpr int dome_width = 1170;
constexpr int dome_height = 460;
constexpr int dome_frames = 12;

// The invisible sound hot spot in frame coordinates is x 684..826, y 108..250: the moon sits in
// its middle.
constexpr float moon_x = 755.0f;
constexpr float moon_y = 179.0f;
constexpr float moon_radius = 40.0f;

// Top-left corners of the five twinkling star canvases on the backdrop.
constexpr int twinkle_spots[5][2] = {{150, 108}, {75, 425}, {251, 960}, {1590, 1005}, {36, 900}};
constexpr int twinkle_size = 16;

} // namespace media::layout
