#pragma once

#include "platform/base/Color.h"
#include "platform/base/Object.h"
#include "platform/base/Ref.h"
#include "platform/graphics/DrawTarget.h"
#include "platform/graphics/FrameCycle.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"

namespace platform {

// Drawing onto the screen buffer for one window or control: coordinates are logical pixels
// relative to its origin, and everything is clipped to the region it may draw into. What is
// drawn lands on the screen's device pixels (Surface::scale): rectangles by their rounded edges,
// pictures by the pixels they hold for that scale. What is drawn lasts until that part of the
// screen is repainted.
class Graphics : public Object {
public:
    // The marker for "the picture's own size".
    static constexpr int kOwnSize = -10000;

    Graphics(DrawTarget& target, Point origin, Region clip);

    // Draws the part (sx, sy, sw, sh) of the picture into (x, y, w, h); kOwnSize for a size means
    // the picture's own. A nil picture draws nothing.
    void DrawPicture(const Ref<Picture>& picture, int x, int y, int w = kOwnSize, int h = kOwnSize,
                     int sx = 0, int sy = 0, int sw = kOwnSize, int sh = kOwnSize);
    // Draws a frame of the cycle at its own size. Drawn where the cycle was drawn last, over the
    // frame before it or the same one, only what changed is copied: the pixels where the frames
    // differ, and whatever else was drawn there since.
    void DrawFrame(FrameCycle& cycle, int frame, int x, int y);
    void SetForeColor(Color c) { m_fore = c; }
    void FillRect(int x, int y, int w, int h);

    // Draws an image of device pixels (a label rendered at the screen's scale) with its top-left
    // corner at the device pixel of the logical point (x, y).
    void draw_image(const Image& image, int x, int y);
    // For renderers that work on pixels directly: the target, where (0, 0) lies on it, and
    // the logical screen rectangles it may touch (Surface::scale takes them to the device).
    // Call damage() for what was changed.
    Surface surface() const;
    Point origin() const { return m_origin; }
    const Region& clip() const { return m_clip; }
    void damage(const Rect& local);

    void set_origin(Point origin) { m_origin = origin; }
    void set_clip(Region clip) { m_clip = std::move(clip); }
    // Reuses the clip's storage: painting must not allocate.
    void set_clip_rect(const Rect& r) {
        m_clip.clear();
        m_clip.add(r);
    }

private:
    // The device rectangle of a rectangle relative to the origin.
    Rect to_device(const Surface& screen, const Rect& local) const;
    // False when nothing is to be drawn; else the screen to draw onto, repaints owed done.
    bool begin_drawing(Surface& screen);
    void damage_device(const Surface& screen, const Rect& device);
    // Copies from (image pixels) with its top-left at the device point at, into the device
    // rectangle area only.
    void blit(const Surface& screen, const Image& image, Point at, const Rect& from,
              const Rect& area);
    void draw_scaled(const Surface& screen, const Image& image, const Rect& to, const Rect& from);

    DrawTarget& m_target;
    Point m_origin;
    Region m_clip;
    Color m_fore{0, 0, 0};
};

} // namespace platform
