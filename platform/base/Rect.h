#pragma once

#include <algorithm>

namespace platform {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle of whole pixels; right and bottom are exclusive.
struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool is_empty() const { return w <= 0 || h <= 0; }
    long long area() const { return is_empty() ? 0 : static_cast<long long>(w) * h; }
    bool contains(int px, int py) const {
        return px >= x && py >= y && px < right() && py < bottom();
    }
    bool contains(const Rect& r) const {
        return r.is_empty() ||
               (r.x >= x && r.y >= y && r.right() <= right() && r.bottom() <= bottom());
    }
    bool intersects(const Rect& r) const { return !intersected(r).is_empty(); }
    Rect translated(int dx, int dy) const { return {x + dx, y + dy, w, h}; }

    Rect intersected(const Rect& r) const {
        int l = std::max(x, r.x), t = std::max(y, r.y);
        int rr = std::min(right(), r.right()), b = std::min(bottom(), r.bottom());
        if (rr <= l || b <= t)
            return {};
        return {l, t, rr - l, b - t};
    }
    Rect united(const Rect& r) const {
        if (is_empty())
            return r;
        if (r.is_empty())
            return *this;
        int l = std::min(x, r.x), t = std::min(y, r.y);
        return {l, t, std::max(right(), r.right()) - l, std::max(bottom(), r.bottom()) - t};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace platform
