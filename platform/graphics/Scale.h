#pragma once

#include "platform/base/Rect.h"

#include <cmath>

namespace platform {

// How many device pixels one logical pixel spans, in 120ths, as Wayland's fractional scale gives
// it: 120 is 1, 180 is 1.5, 240 is 2. The windows and their controls are laid out in logical
// pixels; the screen buffer holds device pixels.
//
// A rectangle is taken to the device by its edges, each rounded on its own, so that rectangles
// that meet in logical pixels meet in device pixels too, with neither a gap nor an overlap.
class Scale {
public:
    constexpr Scale() = default;
    static constexpr Scale from_120ths(int n) { return Scale(n > 0 ? n : 120); }
    // The nearest 120th of factor; 1 for anything not above zero.
    static Scale from_factor(double factor) {
        return from_120ths(factor > 0 ? static_cast<int>(std::lround(factor * 120)) : 120);
    }

    constexpr int in_120ths() const { return m_120ths; }
    constexpr double factor() const { return m_120ths / 120.0; }
    constexpr bool is_identity() const { return m_120ths == 120; }
    // The picture set drawn at this scale: 1 up to scale 1, else the set drawn at twice the size
    // (scaled down when loaded where the scale is between).
    constexpr int picture_set() const { return m_120ths <= 120 ? 1 : 2; }

    // A logical edge or coordinate on the device: rounded to the nearest pixel, halves up.
    constexpr int to_device(int logical) const {
        return floor_div(1LL * logical * m_120ths + 60, 120);
    }
    // The device pixels a picture of a logical size is held at: enough to cover its device
    // rectangle wherever its edges fall.
    constexpr int to_device_size(int logical) const {
        return static_cast<int>((1LL * logical * m_120ths + 119) / 120);
    }
    // The logical pixels a device-sized thing (a label rendered at this scale) spans.
    constexpr int to_logical_size(int device) const {
        return static_cast<int>((1LL * device * 120 + m_120ths - 1) / m_120ths);
    }
    Rect to_device(const Rect& r) const {
        int x0 = to_device(r.x), y0 = to_device(r.y);
        return {x0, y0, to_device(r.right()) - x0, to_device(r.bottom()) - y0};
    }
    // The logical pixel whose device rectangle holds a device pixel.
    constexpr int to_logical(int device) const {
        return floor_div((2LL * device + 1) * 120 - 1, 2LL * m_120ths);
    }
    constexpr Point to_logical(Point device) const {
        return {to_logical(device.x), to_logical(device.y)};
    }
    // The smallest logical rectangle whose device rectangle covers r.
    Rect to_logical_covering(const Rect& r) const {
        int x0 = to_logical(r.x), y0 = to_logical(r.y);
        int x1 = to_logical(r.right() - 1) + 1, y1 = to_logical(r.bottom() - 1) + 1;
        return r.is_empty() ? Rect{} : Rect{x0, y0, x1 - x0, y1 - y0};
    }

    friend constexpr bool operator==(const Scale&, const Scale&) = default;

private:
    explicit constexpr Scale(int n) : m_120ths(n) {}
    static constexpr int floor_div(long long a, long long b) {
        long long q = a / b;
        return static_cast<int>((a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q);
    }

    int m_120ths = 120;
};

} // namespace platform
