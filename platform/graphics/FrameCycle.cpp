#include "platform/graphics/FrameCycle.h"

#include "platform/graphics/PixelOps.h"

#include <algorithm>
#include <limits>

namespace platform {

namespace {

// Equal pixels between two changed ones that are copied with them rather than starting a new
// run. The dome's frames change in scattered specks: fewer, longer runs copy faster there (at
// 3840x2160, 32 took a tenth less time than 8 and a fifth less than 4, for a sixth more memory).
constexpr int kJoin = 32;
constexpr int kMaxSide = std::numeric_limits<uint16_t>::max();

} // namespace

FrameCycle::FrameCycle(std::vector<Ref<Picture>> frames) : m_frames(std::move(frames)) {
}

int FrameCycle::Width() const {
    return m_frames.empty() || !m_frames[0] ? 0 : m_frames[0]->Width();
}

int FrameCycle::Height() const {
    return m_frames.empty() || !m_frames[0] ? 0 : m_frames[0]->Height();
}

size_t FrameCycle::index(int frame) const {
    const int n = count();
    return static_cast<size_t>(((frame % n) + n) % n);
}

bool FrameCycle::hold_at(Scale scale) {
    if (m_scale == scale)
        return m_holds_changes;
    m_scale = scale;
    m_shown = {};
    m_holds_changes = make_changes(scale);
    if (!m_holds_changes) {
        m_first = Image();
        m_changes.clear();
    }
    return m_holds_changes;
}

bool FrameCycle::make_changes(Scale scale) {
    if (m_frames.empty())
        return false;
    for (const Ref<Picture>& p : m_frames)
        if (!p || p->Width() != Width() || p->Height() != Height())
            return false;
    // Each frame's pixels are needed beside the next one's only: the pictures let theirs go as
    // soon as their changes are made.
    auto pixels = [&](size_t i) -> const Image* {
        const Image& image = m_frames[i]->image_at(scale);
        bool usable =
            m_frames[i]->scale() == scale && image.is_opaque() && !image.is_empty() &&
            image.width() <= kMaxSide && image.height() <= kMaxSide &&
            (i == 0 || (image.width() == m_first.width() && image.height() == m_first.height()));
        return usable ? &image : nullptr;
    };
    const Image* first = pixels(0);
    if (!first)
        return false;
    m_first = *first;
    m_changes.assign(m_frames.size(), Changes{});
    const Image* before = first;
    for (size_t i = 1; i < m_frames.size(); ++i) {
        const Image* next = pixels(i);
        if (!next)
            return false;
        m_changes[i] = changes_between(*before, *next);
        m_frames[i - 1]->release_pixels();
        before = next;
    }
    m_changes[0] = changes_between(*before, m_first);
    m_frames.back()->release_pixels();
    return true;
}

FrameCycle::Changes FrameCycle::changes_between(const Image& from, const Image& to) {
    Changes c;
    const int w = to.width(), h = to.height();
    c.row_runs.reserve(static_cast<size_t>(h) + 1);
    c.row_pixels.reserve(static_cast<size_t>(h) + 1);
    const Surface a = from.surface(), b = to.surface();
    for (int y = 0; y < h; ++y) {
        c.row_runs.push_back(static_cast<uint32_t>(c.runs.size()));
        c.row_pixels.push_back(static_cast<uint32_t>(c.pixels.size()));
        const uint32_t* old_row = a.row(y);
        const uint32_t* new_row = b.row(y);
        int x = 0;
        while (x < w) {
            while (x < w && old_row[x] == new_row[x])
                ++x;
            if (x == w)
                break;
            const int start = x;
            int end = x; // one past the last changed pixel
            while (x < w && x - end < kJoin) {
                if (old_row[x] != new_row[x])
                    end = x + 1;
                ++x;
            }
            x = end;
            c.runs.push_back({static_cast<uint16_t>(start), static_cast<uint16_t>(end - start)});
            c.pixels.insert(c.pixels.end(), new_row + start, new_row + end);
            c.bounds = c.bounds.united({start, y, end - start, 1});
        }
    }
    c.row_runs.push_back(static_cast<uint32_t>(c.runs.size()));
    c.row_pixels.push_back(static_cast<uint32_t>(c.pixels.size()));
    c.pixels.shrink_to_fit();
    c.runs.shrink_to_fit();
    return c;
}

Rect FrameCycle::drawable(const Surface& dst, Point origin, const Rect& area) const {
    return area.intersected(dst.bounds())
        .intersected({origin.x, origin.y, m_first.width(), m_first.height()});
}

void FrameCycle::draw_whole(int frame, const Surface& dst, Point origin, const Rect& area) const {
    const Rect to = drawable(dst, origin, area);
    if (to.is_empty())
        return;
    PixelOps::draw_image(dst, to, origin.x, origin.y, m_first,
                         {0, 0, m_first.width(), m_first.height()});
    for (size_t i = 1; i <= index(frame); ++i)
        copy(m_changes[i], dst, origin, to);
}

Rect FrameCycle::copy_changes(int frame, const Surface& dst, Point origin, const Rect& area) const {
    const Changes& changes = m_changes[index(frame)];
    const Rect to = drawable(dst, origin, area);
    copy(changes, dst, origin, to);
    return changes.bounds.translated(origin.x, origin.y).intersected(to);
}

void FrameCycle::copy(const Changes& changes, const Surface& dst, Point origin, const Rect& area) {
    if (area.is_empty())
        return;
    for (int y = area.y; y < area.bottom(); ++y) {
        const auto row = static_cast<size_t>(y - origin.y);
        const uint32_t* pixels = changes.pixels.data() + changes.row_pixels[row];
        uint32_t* out = dst.row(y);
        for (uint32_t r = changes.row_runs[row]; r < changes.row_runs[row + 1]; ++r) {
            const Run run = changes.runs[r];
            const int x0 = std::max(origin.x + run.x, area.x);
            const int x1 = std::min(origin.x + run.x + run.length, area.right());
            if (x0 < x1)
                PixelOps::copy_row(out + x0, pixels + (x0 - origin.x - run.x), x1 - x0,
                                   dst.brightness);
            pixels += run.length;
        }
    }
}

size_t FrameCycle::held_bytes() const {
    size_t bytes = static_cast<size_t>(m_first.width()) * m_first.height() * sizeof(uint32_t);
    for (const Changes& c : m_changes)
        bytes += c.pixels.size() * sizeof(uint32_t) + c.runs.size() * sizeof(Run) +
                 (c.row_runs.size() + c.row_pixels.size()) * sizeof(uint32_t);
    for (const Ref<Picture>& p : m_frames)
        if (p)
            bytes +=
                static_cast<size_t>(p->image().width()) * p->image().height() * sizeof(uint32_t);
    return bytes;
}

} // namespace platform
