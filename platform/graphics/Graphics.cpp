#include "platform/graphics/Graphics.h"

#include "platform/graphics/PixelOps.h"

namespace platform {

Graphics::Graphics(DrawTarget& target, Point origin, Region clip)
    : m_target(target), m_origin(origin), m_clip(std::move(clip)) {
}

Surface Graphics::surface() const {
    return m_target.surface();
}

void Graphics::damage(const Rect& local) {
    Rect screen_rect = local.translated(m_origin.x, m_origin.y);
    for (const Rect& c : m_clip.rects())
        m_target.damage(screen_rect.intersected(c));
}

void Graphics::draw_image(const Image& image, int x, int y) {
    blit(image, x, y, {0, 0, image.width(), image.height()});
}

void Graphics::blit(const Image& image, int x, int y, const Rect& from) {
    if (!m_target.is_drawing())
        return;
    // Repaints requested earlier must land before this drawing, not over it.
    m_target.paint_pending();
    Surface screen = m_target.surface();
    for (const Rect& c : m_clip.rects())
        PixelOps::draw_image(screen, c, m_origin.x + x, m_origin.y + y, image, from);
    damage({x, y, from.w, from.h});
}

void Graphics::DrawPicture(const Ref<Picture>& picture, int x, int y, int w, int h, int sx, int sy,
                           int sw, int sh) {
    if (!picture)
        return;
    const Image& image = picture->image();
    if (sw == kOwnSize)
        sw = image.width();
    if (sh == kOwnSize)
        sh = image.height();
    if (w == kOwnSize)
        w = image.width();
    if (h == kOwnSize)
        h = image.height();
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return;
    if (w == sw && h == sh)
        blit(image, x, y, {sx, sy, sw, sh});
    else
        draw_scaled(image, {x, y, w, h}, {sx, sy, sw, sh});
}

void Graphics::draw_scaled(const Image& image, const Rect& to, const Rect& from) {
    if (!m_target.is_drawing())
        return;
    m_target.paint_pending();
    Surface screen = m_target.surface();
    Rect target = to.translated(m_origin.x, m_origin.y);
    for (const Rect& c : m_clip.rects()) {
        Rect area = target.intersected(c).intersected(screen.bounds());
        for (int y = area.y; y < area.bottom(); ++y) {
            int syy =
                from.y + static_cast<int>((static_cast<long long>(y - target.y) * from.h) / to.h);
            if (syy < 0 || syy >= image.height())
                continue;
            uint32_t* out = screen.row(y);
            for (int x = area.x; x < area.right(); ++x) {
                int sxx = from.x +
                          static_cast<int>((static_cast<long long>(x - target.x) * from.w) / to.w);
                if (sxx >= 0 && sxx < image.width())
                    PixelOps::blend(out[x], PixelOps::dimmed(image.at(sxx, syy), screen.brightness),
                                    255);
            }
        }
    }
    damage(to);
}

void Graphics::FillRect(int x, int y, int w, int h) {
    if (!m_target.is_drawing())
        return;
    m_target.paint_pending();
    Surface screen = m_target.surface();
    Rect r = Rect{x, y, w, h}.translated(m_origin.x, m_origin.y);
    for (const Rect& c : m_clip.rects())
        PixelOps::fill(screen, c, r, m_fore.to_pixel());
    damage({x, y, w, h});
}

} // namespace platform
