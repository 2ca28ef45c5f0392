#pragma once

#include "platform/base/Object.h"
#include "platform/base/Rect.h"
#include "platform/base/Ref.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Scale.h"
#include "platform/graphics/Surface.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// The frames of an animation, shown one after another at one place and drawn with
// Graphics::DrawFrame. It holds the first frame's pixels and for each frame only the pixels where
// it differs from the frame before it: twelve frames of a slowly changing sky cost little more
// than one, and drawing a frame over the one before it copies only what changed.
// The pictures let their own pixels go once the changes are made (drawn on their own, they make
// them again). Frames that are not all opaque and of one size are kept as pictures and drawn
// whole.
class FrameCycle : public Object {
public:
    explicit FrameCycle(std::vector<Ref<Picture>> frames);

    int count() const { return static_cast<int>(m_frames.size()); }
    // The frame's picture; frame is taken round the cycle.
    const Ref<Picture>& frame(int frame) const { return m_frames[index(frame)]; }
    // The logical size, the first frame's.
    int Width() const;
    int Height() const;

    // Makes the frames' changes for the screen's scale, once per scale. False when the frames
    // are to be drawn whole, as pictures.
    bool hold_at(Scale scale);
    // The frame's place in the cycle, 0 to count() - 1.
    int place(int frame) const { return static_cast<int>(index(frame)); }
    // Draws frame whole, at the surface's brightness, for a cycle whose top-left lies at origin
    // on dst; only into area.
    void draw_whole(int frame, const Surface& dst, Point origin, const Rect& area) const;
    // Copies what changes from the frame before to frame, in the same way. Gives the rectangle
    // that holds every pixel it copied.
    Rect copy_changes(int frame, const Surface& dst, Point origin, const Rect& area) const;

    // Where the cycle was drawn last and which frame, the screen's watch over that rectangle, and
    // room for what was drawn over it since (reused, so drawing a frame does not allocate).
    struct Shown {
        Rect device;
        int frame = -1;
        uint64_t watch = 0;
        Region touched;
    };
    Shown& shown() { return m_shown; }

    // Bytes of pixels and changes held; the pictures' own pixels, while they keep them, too.
    size_t held_bytes() const;

private:
    // One row's run of changed pixels.
    struct Run {
        uint16_t x = 0;
        uint16_t length = 0;
    };
    // What changes from one frame to the next: the new pixels of each run, row by row.
    struct Changes {
        std::vector<uint32_t> pixels;
        std::vector<Run> runs;
        // Per row, and one past the last: the row's first run and the first of its pixels.
        std::vector<uint32_t> row_runs;
        std::vector<uint32_t> row_pixels;
        Rect bounds;
    };

    size_t index(int frame) const;
    static Changes changes_between(const Image& from, const Image& to);
    // Where a cycle with its top-left at origin may draw on dst inside area.
    Rect drawable(const Surface& dst, Point origin, const Rect& area) const;
    // Copies changes into dst with its top-left at origin, inside area (already drawable).
    static void copy(const Changes& changes, const Surface& dst, Point origin, const Rect& area);
    // Makes the changes from the frames' pixels at scale; false when they cannot be held so.
    bool make_changes(Scale scale);

    std::vector<Ref<Picture>> m_frames;
    std::optional<Scale> m_scale; // the scale held at, once made
    bool m_holds_changes = false;
    // The first frame; any other is it with the changes up to that frame copied over it.
    Image m_first;
    // m_changes[i]: from frame i - 1 (the last, for the first) to frame i.
    std::vector<Changes> m_changes;
    Shown m_shown;
};

} // namespace platform
