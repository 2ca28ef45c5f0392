#pragma once

#include "platform/base/Rect.h"

#include <vector>

namespace platform {

// A set of non-overlapping rectangles: what needs repainting or presenting, or what part of a
// window is not covered by windows above it.
class Region {
public:
    // Made with room for its working size, so that a region that is reused never allocates.
    Region() { m_rects.reserve(kReserved); }
    explicit Region(const Rect& r) : Region() { add(r); }

    // Adds r. Rectangles that overlap are merged when that does not grow the area much, and a
    // region that grows past a few rectangles collapses to its bounding box: presenting a little
    // more is cheaper than presenting many small pieces.
    void add(const Rect& r);
    void subtract(const Rect& r);
    Region intersected(const Rect& r) const;
    void clear() { m_rects.clear(); }

    bool is_empty() const { return m_rects.empty(); }
    const std::vector<Rect>& rects() const { return m_rects; }
    Rect bounds() const;
    long long area() const;

private:
    static constexpr size_t kMaxRects = 16;
    // The most rectangles, with the pieces that add() cuts on the way.
    static constexpr size_t kReserved = 2 * kMaxRects;
    std::vector<Rect> m_rects;
};

} // namespace platform
