#include "platform/Region.h"

#include <algorithm>

namespace platform {

namespace {

// The parts of a that lie outside b, as up to four rectangles.
void subtract_into(const Rect& a, const Rect& b, std::vector<Rect>& out) {
    Rect cut = a.intersected(b);
    if (cut.is_empty()) {
        out.push_back(a);
        return;
    }
    if (cut.y > a.y)
        out.push_back({a.x, a.y, a.w, cut.y - a.y});
    if (cut.bottom() < a.bottom())
        out.push_back({a.x, cut.bottom(), a.w, a.bottom() - cut.bottom()});
    if (cut.x > a.x)
        out.push_back({a.x, cut.y, cut.x - a.x, cut.h});
    if (cut.right() < a.right())
        out.push_back({cut.right(), cut.y, a.right() - cut.right(), cut.h});
}

} // namespace

void Region::add(const Rect& r) {
    if (r.is_empty())
        return;
    Rect pending = r;
    // Merge with any rectangle it touches when the union wastes little; repeat because a merged
    // rectangle may now touch others.
    bool merged = true;
    while (merged) {
        merged = false;
        for (size_t i = 0; i < m_rects.size(); ++i) {
            const Rect& e = m_rects[i];
            if (e.contains(pending))
                return;
            Rect u = e.united(pending);
            bool touching = e.intersects(pending) || u.area() == e.area() + pending.area();
            if (touching && u.area() <= (e.area() + pending.area()) * 5 / 4) {
                pending = u;
                m_rects.erase(m_rects.begin() + static_cast<long>(i));
                merged = true;
                break;
            }
        }
    }
    // Keep the rectangles disjoint: add only what is not covered yet. Usually nothing overlaps,
    // and then nothing but the rectangle itself is stored (painting must not allocate).
    bool overlaps = std::any_of(m_rects.begin(), m_rects.end(),
                                [&](const Rect& e) { return e.intersects(pending); });
    if (!overlaps) {
        m_rects.push_back(pending);
        if (m_rects.size() > kMaxRects)
            m_rects.assign(1, bounds());
        return;
    }
    std::vector<Rect> pieces{pending};
    for (const Rect& e : m_rects) {
        std::vector<Rect> next;
        for (const Rect& p : pieces)
            subtract_into(p, e, next);
        pieces.swap(next);
    }
    m_rects.insert(m_rects.end(), pieces.begin(), pieces.end());
    if (m_rects.size() > kMaxRects) {
        Rect b = bounds();
        m_rects.assign(1, b);
    }
}

void Region::subtract(const Rect& r) {
    std::vector<Rect> next;
    for (const Rect& e : m_rects)
        subtract_into(e, r, next);
    m_rects.swap(next);
}

Region Region::intersected(const Rect& r) const {
    Region out;
    for (const Rect& e : m_rects) {
        Rect i = e.intersected(r);
        if (!i.is_empty())
            out.m_rects.push_back(i);
    }
    return out;
}

Rect Region::bounds() const {
    Rect b;
    for (const Rect& e : m_rects)
        b = b.united(e);
    return b;
}

long long Region::area() const {
    long long a = 0;
    for (const Rect& e : m_rects)
        a += e.area();
    return a;
}

} // namespace platform
