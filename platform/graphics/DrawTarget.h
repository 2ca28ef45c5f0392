#pragma once

#include "platform/base/Rect.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"

#include <cstdint>

namespace platform {

// The screen buffer as Graphics draws into it: repaints still owed land first, so that new
// drawing is not painted over, and what is drawn is marked to be presented.
class DrawTarget {
public:
    virtual Surface surface() = 0;
    virtual void paint_pending() = 0;
    // A screen rectangle was drawn.
    virtual void damage(const Rect& r) = 0;
    // Whether what is drawn can show: nothing is drawn while the screen cannot be seen or is
    // black.
    virtual bool is_drawing() const = 0;

    // Something that draws over its own pixels again (an animation's next frame) watches its
    // screen rectangle from now on, so that next time it need draw only what changed there and
    // what others drew over. One rectangle is watched at a time: a new watch ends the one before.
    virtual uint64_t watch(const Rect& device) = 0;
    // What was drawn over the watched rectangle, or lost, since watch() gave this number; nothing
    // when that watch has ended, as when the screen was made anew: then all of it is to be drawn.
    virtual const Region* touched_since(uint64_t watch) const = 0;

protected:
    ~DrawTarget() = default;
};

} // namespace platform
