#pragma once

#include "platform/base/Rect.h"
#include "platform/graphics/Surface.h"

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

protected:
    ~DrawTarget() = default;
};

} // namespace platform
