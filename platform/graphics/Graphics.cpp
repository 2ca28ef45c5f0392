#include "platform/graphics/Graphics.h"

#include "platform/graphics/PixelOps.h"

namespace platform {

Graphics::Graphics(DrawTarget& target, Point origin, Region clip)
    : m_target(target), m_origin(origin), m_clip(std::move(clip)) {
}

Surface Graphics::surface() const {
    return m_target.surface();
}

Rect Graphics::to_device(const Surface& screen, const Rect& local) const {
    return screen.scale.to_device(local.translated(m_origin.x, m_origin.y));
}

void Graphics::damage(const Rect& local) {
    damage_device(m_target.surface(), to_device(m_target.surface(), local));
}

void Graphics::damage_device(const Surface& screen, const Rect& device) {
    for (const Rect& c : m_clip.rects())
        m_target.damage(device.intersected(screen.scale.to_device(c)));
}

bool Graphics::begin_drawing(Surface& screen) {
    if (!m_target.is_drawing())
        return false;
    // Repaints requested earlier must land before this drawing, not over it.
    m_target.paint_pending();
    screen = m_target.surface();
    return true;
}

void Graphics::draw_image(const Image& image, int x, int y) {
    Surface screen;
    if (!begin_drawing(screen))
        return;
    Rect to{screen.scale.to_device(m_origin.x + x), screen.scale.to_device(m_origin.y + y),
            image.width(), image.height()};
    blit(screen, image, {to.x, to.y}, {0, 0, image.width(), image.height()}, to);
}

void Graphics::blit(const Surface& screen, const Image& image, Point at, const Rect& from,
                    const Rect& area) {
    for (const Rect& c : m_clip.rects())
        PixelOps::draw_image(screen, screen.scale.to_device(c).intersected(area), at.x, at.y, image,
                             from);
    damage_device(screen, area);
}

void Graphics::DrawPicture(const Ref<Picture>& picture, int x, int y, int w, int h, int sx, int sy,
                           int sw, int sh) {
    if (!picture)
        return;
    if (sw == kOwnSize)
        sw = picture->Width();
    if (sh == kOwnSize)
        sh = picture->Height();
    if (w == kOwnSize)
        w = picture->Width();
    if (h == kOwnSize)
        h = picture->Height();
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return;
    Surface screen;
    if (!begin_drawing(screen))
        return;
    const Image& image = picture->image_at(screen.scale);
    const Scale held = picture->scale();
    Rect to = to_device(screen, {x, y, w, h});
    // A picture held at the screen's scale is copied pixel for pixel, whatever way its edges
    // round: it is made to cover its device rectangle wherever that falls.
    if (held == screen.scale && w == sw && h == sh)
        blit(screen, image, {to.x, to.y}, {held.to_device(sx), held.to_device(sy), to.w, to.h}, to);
    else
        draw_scaled(screen, image, to, held.to_device(Rect{sx, sy, sw, sh}));
}

void Graphics::DrawFrame(FrameCycle& cycle, int frame, int x, int y) {
    Surface screen;
    if (cycle.count() == 0 || !begin_drawing(screen))
        return;
    if (!cycle.hold_at(screen.scale)) {
        DrawPicture(cycle.frame(frame), x, y);
        return;
    }
    const Rect to = to_device(screen, {x, y, cycle.Width(), cycle.Height()});
    const Point at{to.x, to.y};
    const int k = cycle.place(frame);
    FrameCycle::Shown& shown = cycle.shown();
    const Region* touched = m_target.touched_since(shown.watch);
    const bool over_last =
        touched && shown.device == to && (k == shown.frame || k == cycle.place(shown.frame + 1));
    if (!over_last) {
        for (const Rect& c : m_clip.rects())
            cycle.draw_whole(k, screen, at, screen.scale.to_device(c).intersected(to));
        damage_device(screen, to);
    } else {
        // Kept apart: what is drawn now is added to the screen's record as it is drawn.
        shown.touched = *touched;
        if (k != shown.frame)
            for (const Rect& c : m_clip.rects())
                m_target.damage(cycle.copy_changes(k, screen, at, screen.scale.to_device(c)));
        for (const Rect& t : shown.touched.rects()) {
            for (const Rect& c : m_clip.rects())
                cycle.draw_whole(k, screen, at, screen.scale.to_device(c).intersected(t));
            damage_device(screen, t.intersected(to));
        }
    }
    shown.device = to;
    shown.frame = k;
    shown.watch = m_target.watch(to);
}

void Graphics::draw_scaled(const Surface& screen, const Image& image, const Rect& to,
                           const Rect& from) {
    if (to.is_empty() || from.is_empty())
        return;
    for (const Rect& c : m_clip.rects()) {
        Rect area = to.intersected(screen.scale.to_device(c)).intersected(screen.bounds());
        for (int y = area.y; y < area.bottom(); ++y) {
            int syy = from.y + static_cast<int>((static_cast<long long>(y - to.y) * from.h) / to.h);
            if (syy < 0 || syy >= image.height())
                continue;
            uint32_t* out = screen.row(y);
            for (int x = area.x; x < area.right(); ++x) {
                int sxx =
                    from.x + static_cast<int>((static_cast<long long>(x - to.x) * from.w) / to.w);
                if (sxx >= 0 && sxx < image.width())
                    PixelOps::blend(out[x], PixelOps::dimmed(image.at(sxx, syy), screen.brightness),
                                    255);
            }
        }
    }
    damage_device(screen, to);
}

void Graphics::FillRect(int x, int y, int w, int h) {
    Surface screen;
    if (!begin_drawing(screen))
        return;
    Rect r = to_device(screen, {x, y, w, h});
    for (const Rect& c : m_clip.rects())
        PixelOps::fill(screen, screen.scale.to_device(c), r, m_fore.to_pixel());
    damage_device(screen, r);
}

} // namespace platform
