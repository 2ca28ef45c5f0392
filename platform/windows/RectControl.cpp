#include "platform/windows/RectControl.h"

#include "platform/windows/Window.h"

#include <algorithm>

namespace platform {

void RectControl::set_rect(const Rect& r, bool placed) {
    if (placed) {
        Window* w = window();
        m_placed_w = r.w;
        m_right_gap = (w ? w->Width() : 0) - r.right();
        m_bottom_gap = (w ? w->Height() : 0) - r.bottom();
    }
    if (r == m_rect)
        return;
    Refresh();
    m_rect = r;
    Refresh();
}

void RectControl::SetVisible(bool visible) {
    if (visible == m_visible)
        return;
    m_visible = visible;
    invalidate_tree();
}

void RectControl::SetEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    Refresh();
}

void RectControl::SetLocks(bool left, bool top, bool right, bool bottom) {
    m_lock_left = left;
    m_lock_top = top;
    m_lock_right = right;
    m_lock_bottom = bottom;
}

void RectControl::SetMouseCursor(Ref<platform::MouseCursor> cursor) {
    m_cursor = std::move(cursor);
    if (Window* w = window())
        w->pointer_shape_changed();
}

void RectControl::Refresh(bool) {
    // Every repaint composes the window from its background up, so erasing is implied.
    if (Window* w = window())
        w->invalidate(m_rect);
}

void RectControl::SetParent(RectControl* parent) {
    m_parent = parent;
    if (Window* w = window())
        w->controls_changed();
}

bool RectControl::is_shown() const {
    for (const RectControl* c = this; c; c = c->m_parent)
        if (!c->m_visible)
            return false;
    return window() && window()->Visible();
}

RectControl* RectControl::container() const {
    if (m_parent)
        return m_parent;
    Window* w = window();
    return w && w->area() != this ? w->area() : nullptr;
}

bool RectControl::is_inside(const RectControl& ancestor) const {
    for (const RectControl* c = m_parent; c; c = c->m_parent)
        if (c == &ancestor)
            return true;
    return false;
}

void RectControl::follow_window(int width, int height) {
    // Measured from where the program placed the control, not from its last size, so that a
    // window that shrinks below its design size and grows again puts every control back.
    Rect r = m_rect;
    if (m_lock_right) {
        if (m_lock_left)
            r.w = std::max(minimum_width(), width - r.x - m_right_gap);
        else
            r.x = width - m_right_gap - r.w;
    }
    if (m_lock_bottom) {
        if (m_lock_top)
            r.h = std::max(0, height - r.y - m_bottom_gap);
        else
            r.y = height - m_bottom_gap - r.h;
    }
    set_rect(r, false);
}

bool RectControl::hit(int, int) {
    return true;
}

void RectControl::paint(Graphics&) {
}

void RectControl::invalidate_tree() {
    // Children drawn outside their parent's rectangle appear and vanish with it too.
    if (Window* w = window())
        w->invalidate_control_tree(*this);
}

} // namespace platform
