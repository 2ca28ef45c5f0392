#include "platform/compat/ThemeTrack.h"

#include "platform/compat/Functions.h"
#include "platform/compat/ThemeTrackDrawInfo.h"
#include "platform/compat/TrackGeometry.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/PixelOps.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

using Info = ThemeTrackDrawInfo;

struct Palette {
    uint32_t groove;
    uint32_t fill;
    uint32_t rim;
    uint32_t face;
    uint32_t tick;
};

// Made for a dark panel: the groove just lifts off black, the filled part is a soft blue and
// the thumb is the brightest thing; pressed, the thumb dims as a button does.
constexpr Palette kActive{0xFF3C3C42, 0xFF64A0F0, 0xFFA6A6AE, 0xFFF0F0F3, 0xFF76767E};
constexpr Palette kPressed{0xFF3C3C42, 0xFF64A0F0, 0xFF85858D, 0xFFBDBDC4, 0xFF76767E};
constexpr Palette kDisabled{0xFF2A2A2E, 0xFF4A4A50, 0xFF55555B, 0xFF6A6A70, 0xFF46464C};

// A ghost thumb lets the track show through.
constexpr uint32_t kGhostAlpha = 0x80;

constexpr int kTickGap = 1;

// A box in track coordinates: a along the track (x on a horizontal track, y on a vertical one),
// c across it; window pixels, edges between pixels.
struct Box {
    double a0, a1, c0, c1;
};

// Where each part of the slider lies.
struct Layout {
    bool horizontal = true;
    bool reversed = false;
    Rect frame; // the control's frame, in window coordinates
    TrackGeometry geometry;
    Box groove{};
    Box thumb{};
    // The tick marks' extent across the track.
    double tick_c0 = 0, tick_c1 = 0;
};

Layout layout_of(const Info& info) {
    Layout l;
    l.horizontal = (info.attributes & Info::kHorizontal) != 0;
    l.reversed = (info.attributes & Info::kRightToLeft) != 0;
    const int lead = Info::kInsetTopLeft;
    const int trail = Info::kInsetBottomRight;
    l.frame = {info.left - lead, info.top - lead, info.right - info.left + lead + trail,
               info.bottom - info.top + lead + trail};
    Box bounds =
        l.horizontal
            ? Box{double(info.left), double(info.right), double(info.top), double(info.bottom)}
            : Box{double(info.top), double(info.bottom), double(info.left), double(info.right)};

    const bool small = info.kind == Info::kSmallSlider;
    const bool pointed = info.thumb_direction != Info::kThumbPlain;
    const bool points_back = info.thumb_direction == Info::kThumbUpward;
    const int t = small     ? TrackGeometry::kSmallThumb
                  : pointed ? TrackGeometry::kPointedThumb
                            : TrackGeometry::kRoundThumb;

    // Along the track the thumb travels the whole control, as the pointer mapping has it.
    int frame_start = l.horizontal ? l.frame.x : l.frame.y;
    l.geometry = {l.horizontal ? l.frame.w : l.frame.h, t, info.min, info.max, l.reversed};
    double thumb_a0 = frame_start + l.geometry.thumb_offset(info.value);

    // Across it: a pointed thumb is a body just over half as deep as the thumb is wide and a
    // right-angled tip, and keeps room for tick marks on the side it points to; the whole is
    // centred in the bounds, or the thumb alone where the bounds are too narrow. Starts fall on
    // whole pixels, so that the thumb's outline is the same wherever it is.
    const int body = pointed ? t / 2 + 1 : t;
    const int size = pointed ? body + t / 2 : t;
    const int tick_length = small ? 3 : 4;
    const int tick_room = pointed ? kTickGap + tick_length : 0;
    double room = bounds.c1 - bounds.c0;
    double start =
        room >= size + tick_room
            ? bounds.c0 + std::floor((room - size - tick_room) / 2) + (points_back ? tick_room : 0)
            : bounds.c0 + std::floor((room - size) / 2);
    l.thumb = {thumb_a0, thumb_a0 + t, start, start + size};
    if (points_back) {
        l.tick_c1 = start - kTickGap;
        l.tick_c0 = l.tick_c1 - tick_length;
    } else {
        l.tick_c0 = start + size + kTickGap;
        l.tick_c1 = l.tick_c0 + tick_length;
    }

    // The groove runs through the middle of the body, about a quarter of the thumb thick; its
    // edges fall on whole pixels like the thumb's.
    double centre = points_back ? start + size - body / 2.0 : start + body / 2.0;
    int thick = (t + 2) / 4;
    bool half_pixel_centre = centre != std::floor(centre);
    if (((thick & 1) != 0) != half_pixel_centre)
        --thick;
    l.groove = {bounds.a0, bounds.a1, centre - thick / 2.0, centre + thick / 2.0};
    return l;
}

// The length of (x, y); the distances here are a few hundred pixels at most, so the plain
// formula is exact enough and much cheaper than std::hypot.
double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

// Signed distance from a point to a box with rounded corners: negative inside.
double rounded_box(double a, double c, const Box& b, double radius) {
    double qa = std::abs(a - (b.a0 + b.a1) / 2) - std::max((b.a1 - b.a0) / 2 - radius, 0.0);
    double qc = std::abs(c - (b.c0 + b.c1) / 2) - std::max((b.c1 - b.c0) / 2 - radius, 0.0);
    return length(std::max(qa, 0.0), std::max(qc, 0.0)) + std::min(std::max(qa, qc), 0.0) - radius;
}

// Fills the shape that distance describes (signed, in pixels, negative inside, given a point in
// track coordinates) within box. Each pixel is covered by how deep its centre lies inside,
// ramped over one pixel across the outline: that is the anti-aliasing.
template <class Distance>
void fill_shape(Graphics& g, const Layout& l, const Box& box, uint32_t colour, Distance distance) {
    int a0 = static_cast<int>(std::floor(box.a0)), a1 = static_cast<int>(std::ceil(box.a1));
    int c0 = static_cast<int>(std::floor(box.c0)), c1 = static_cast<int>(std::ceil(box.c1));
    Rect area = l.horizontal ? Rect{a0, c0, a1 - a0, c1 - c0} : Rect{c0, a0, c1 - c0, a1 - a0};
    Surface screen = g.surface();
    colour = PixelOps::dimmed(colour, screen.brightness);
    Point o = g.origin();
    // The shape is measured in logical pixels and filled on the device's: each device pixel's
    // centre is taken back to logical pixels, and its distance to the outline forward again, so
    // that the outline stays one device pixel soft at any scale.
    const Scale scale = screen.scale;
    const double per_logical = scale.factor();
    area = scale.to_device(area.translated(o.x, o.y)).intersected(screen.bounds());
    for (const Rect& clip : g.clip().rects()) {
        Rect r = area.intersected(scale.to_device(clip));
        for (int y = r.y; y < r.bottom(); ++y) {
            uint32_t* row = screen.row(y);
            for (int x = r.x; x < r.right(); ++x) {
                double px = (x + 0.5) / per_logical - o.x, py = (y + 0.5) / per_logical - o.y;
                double d = (l.horizontal ? distance(px, py) : distance(py, px)) * per_logical;
                double coverage = std::clamp(0.5 - d, 0.0, 1.0);
                if (coverage > 0)
                    PixelOps::blend(row[x], colour, static_cast<uint32_t>(coverage * 255 + 0.5));
            }
        }
    }
}

void fill_capsule(Graphics& g, const Layout& l, const Box& b, uint32_t colour) {
    double radius = (b.c1 - b.c0) / 2;
    fill_shape(g, l, b, colour, [&](double a, double c) { return rounded_box(a, c, b, radius); });
}

void draw_thumb(Graphics& g, const Layout& l, const Info& info, const Palette& p) {
    const Box& b = l.thumb;
    double mid_a = (b.a0 + b.a1) / 2;
    double size = b.c1 - b.c0;
    auto outline = [&](double a, double c) {
        if (info.thumb_direction == Info::kThumbPlain)
            return length(a - mid_a, c - (b.c0 + b.c1) / 2) - (b.a1 - b.a0) / 2;
        // A body with rounded corners, cut to a right-angled tip by two 45-degree edges.
        double reach = info.thumb_direction == Info::kThumbUpward ? b.c1 - c : c - b.c0;
        double tip = (reach + std::abs(a - mid_a) - size) / std::sqrt(2.0);
        return std::max(rounded_box(a, c, b, 2.5), tip);
    };
    uint32_t alpha = (info.attributes & Info::kThumbOpaque) ? 0xFFu : kGhostAlpha;
    auto with_alpha = [&](uint32_t colour) {
        return (colour & 0x00FFFFFFu) | (alpha << 24);
    };
    // The rim is the outline's outer pixel; the face fills the rest.
    fill_shape(g, l, b, with_alpha(p.rim), outline);
    fill_shape(g, l, b, with_alpha(p.face),
               [&](double a, double c) { return outline(a, c) + 1.0; });
}

const Palette& palette_of(const Info& info) {
    if (info.enable_state != Info::kActive)
        return kDisabled;
    return info.press_state == Info::kThumbPressed ? kPressed : kActive;
}

} // namespace

void DrawThemeTrack(Graphics& g, const void* draw_info) {
    Info info = Info::read(draw_info);
    Layout l = layout_of(info);
    const Palette& p = palette_of(info);

    fill_capsule(g, l, l.groove, p.groove);
    // The filled part runs from the start value's end to the thumb's middle.
    double thumb_mid = (l.thumb.a0 + l.thumb.a1) / 2;
    Box filled = l.groove;
    (l.reversed ? filled.a0 : filled.a1) = thumb_mid;
    if (filled.a1 > filled.a0)
        fill_capsule(g, l, filled, p.fill);
    if (info.attributes & Info::kShowThumb)
        draw_thumb(g, l, info, p);
    g.damage(l.frame);
}

void DrawThemeTrackTickMarks(Graphics& g, const void* draw_info, int32_t count) {
    if (count <= 0)
        return;
    Info info = Info::read(draw_info);
    Layout l = layout_of(info);
    const TrackGeometry& geo = l.geometry;
    int travel = std::max(geo.travel(), 0);
    // More marks than thumb positions would only pile up on each other.
    int marks = static_cast<int>(std::min<int64_t>(count, travel + 1));
    // One pixel wide under an odd thumb's middle pixel, two under an even thumb's middle.
    double width = (geo.thumb & 1) ? 1 : 2;
    double first = (l.horizontal ? l.frame.x : l.frame.y) + geo.thumb / 2.0 - width / 2;
    uint32_t colour = palette_of(info).tick;
    for (int i = 0; i < marks; ++i) {
        int offset = marks == 1 ? 0 : Round(static_cast<double>(i) * travel / (marks - 1));
        Box tick{first + offset, first + offset + width, l.tick_c0, l.tick_c1};
        fill_shape(g, l, tick, colour,
                   [&](double a, double c) { return rounded_box(a, c, tick, 0.0); });
    }
    g.damage(l.frame);
}

} // namespace platform
