#pragma once

#include "platform/Backend.h"
#include "platform/base/Rect.h"
#include "platform/base/Ref.h"
#include "platform/loop/CursorShape.h"
#include "platform/windows/RectControl.h"

#include <vector>

namespace platform {

class Desktop;
class Window;

// Routes the pointer: one hit test, one capture while the button is down, one hover chain.
// MouseEnter, MouseExit, MouseDrag and the pointer shape all follow from these.
//
// The hover chain is the control under the pointer and every control it lies inside, so moving
// from a control onto one inside it is no exit. For windows, a window's whole area counts,
// its controls included. While a press is captured, enter and exit wait for the release.
class Dispatcher {
public:
    Dispatcher(Backend& backend, Desktop& desktop);

    void pointer_moved(int x, int y);
    void pointer_pressed(int x, int y);
    void pointer_released(int x, int y);
    // Windows or controls changed under a pointer that did not move; checked at sync().
    void layout_changed() { m_layout_changed = true; }
    // Brings hover and pointer shape up to date after a batch of events.
    void sync();
    // Forgets a window that is going away.
    void forget(Window& window);

    bool has_capture() const { return m_capture_control || m_capture_window; }
    Window* hovered_window() const { return m_hover_window; }
    Point pointer() const { return m_pointer; }

private:
    void update_hover();
    void update_cursor();

    Backend& m_backend;
    Desktop& m_desktop;
    Point m_pointer{-1, -1};
    bool m_pointer_known = false;
    bool m_layout_changed = false;
    // Not owned: a window tells the dispatcher when it goes away, and its controls go with it.
    Window* m_hover_window = nullptr;
    std::vector<RectControl*> m_hover_chain; // outermost first
    RectControl* m_capture_control = nullptr;
    Window* m_capture_window = nullptr;
    CursorShape m_shape = CursorShape::StandardPointer;
};

} // namespace platform
