#pragma once

#include "platform/base/Rect.h"
#include "platform/base/Ref.h"
#include "platform/graphics/CursorShape.h"
#include "platform/windows/RectControl.h"

#include <algorithm>
#include <vector>

namespace platform {

class Desktop;
class Window;

// Routes the pointer: one hit test, one capture while the button is down, one hover chain.
// MouseEnter, MouseExit, MouseDrag and the pointer shape all follow from these. A window takes
// part through its own area, the root of its controls, so its events come the same way.
//
// The hover chain is the control under the pointer and every control it lies inside, up to the
// window's area, so moving from a control onto one inside it is no exit. While a press is
// captured, enter and exit wait for the release.
//
// The desktop has one, which it tells when windows come, go and move.
class Dispatcher {
public:
    explicit Dispatcher(Desktop& desktop);

    void pointer_moved(int x, int y);
    void pointer_pressed(int x, int y);
    void pointer_released(int x, int y);
    // Windows or controls changed under a pointer that did not move; checked at sync().
    void layout_changed() { m_layout_changed = true; }
    // Brings hover and pointer shape up to date after a batch of events.
    void sync();
    // Forgets a window that is going away.
    void forget(Window& window);

    bool has_capture() const { return m_capture != nullptr; }
    // Whether the pointer is over the control, or over one inside it.
    bool is_hovering(const RectControl& control) const {
        return std::find(m_hover_chain.begin(), m_hover_chain.end(), &control) !=
               m_hover_chain.end();
    }

private:
    void update_hover();
    void update_cursor();

    Desktop& m_desktop;
    Point m_pointer{-1, -1};
    bool m_pointer_known = false;
    bool m_layout_changed = false;
    // Not owned: a window tells the dispatcher when it goes away, and its controls go with it.
    std::vector<RectControl*> m_hover_chain; // outermost first
    RectControl* m_capture = nullptr;
    CursorShape m_shape = CursorShape::StandardPointer;
};

} // namespace platform
