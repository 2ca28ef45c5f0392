#include "platform/graphics/Region.h"

namespace platform {

namespace {

// The parts of a that lie outside b: up to four rectangles written to out; returns how many.
int outside(const Rect& a, const Rect& b, Rect out[4]) {
    Rect cut = a.intersected(b);
    if (cut.is_empty()) {
        out[0] = a;
        return 1;
    }
    int n = 0;
    if (cut.y > a.y)
        out[n++] = {a.x, a.y, a.w, cut.y - a.y};
    if (cut.bottom() < a.bottom())
        out[n++] = {a.x, cut.bottom(), a.w, a.bottom() - cut.bottom()};
    if (cut.x > a.x)
        out[n++] = {a.x, cut.y, cut.x - a.x, cut.h};
    if (cut.right() < a.right())
        out[n++] = {cut.right(), cut.y, a.right() - cut.right(), cut.h};
    return n;
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
    // Keep the rectangles disjoint: add only what is not covered yet. The pieces of pending
    // are cut in place at the end of the list, so a region that is reused stops allocating
    // once its storage has grown to its working size.
    size_t first_piece = m_rects.size();
    m_rects.push_back(pending);
    for (size_t i = 0; i < first_piece; ++i) {
        const Rect e = m_rects[i];
        size_t end = m_rects.size();
        for (size_t p = first_piece; p < end; ++p) {
            Rect parts[4];
            int n = outside(m_rects[p], e, parts);
            m_rects[p] = n > 0 ? parts[0] : Rect{};
            for (int k = 1; k < n; ++k)
                m_rects.push_back(parts[k]);
        }
    }
    std::erase_if(m_rects, [](const Rect& piece) { return piece.is_empty(); });
    if (m_rects.size() > kMaxRects) {
        Rect b = bounds();
        m_rects.assign(1, b);
    }
}

void Region::subtract(const Rect& r) {
    std::vector<Rect> next;
    for (const Rect& e : m_rects) {
        Rect parts[4];
        int n = outside(e, r, parts);
        next.insert(next.end(), parts, parts + n);
    }
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
