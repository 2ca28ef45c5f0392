#pragma once

#include "platform/base/Rect.h"
#include "platform/base/Ref.h"
#include "platform/windows/Control.h"
#include "platform/windows/MouseCursor.h"

namespace platform {

// A control with a place on its window: position and size in window pixels (also when it lies
// inside another control), visibility, locked edges and a pointer shape.
class RectControl : public Control {
public:
    int Left() const { return m_rect.x; }
    int Top() const { return m_rect.y; }
    int Width() const { return m_rect.w; }
    int Height() const { return m_rect.h; }
    void SetLeft(int left) { set_rect({left, m_rect.y, m_rect.w, m_rect.h}); }
    void SetTop(int top) { set_rect({m_rect.x, top, m_rect.w, m_rect.h}); }
    void SetWidth(int width) { set_rect({m_rect.x, m_rect.y, width, m_rect.h}); }
    void SetHeight(int height) { set_rect({m_rect.x, m_rect.y, m_rect.w, height}); }
    void SetBounds(int left, int top, int width, int height) {
        set_rect({left, top, width, height});
    }
    // Window coordinates.
    const Rect& bounds() const { return m_rect; }

    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    // A locked edge keeps its distance to the same edge of the window when the window is
    // resized; locked on both sides, the control stretches.
    void SetLocks(bool left, bool top, bool right, bool bottom);

    const Ref<platform::MouseCursor>& MouseCursor() const { return m_cursor; }
    void SetMouseCursor(Ref<platform::MouseCursor> cursor);

    // Has the control drawn again, over what lies beneath it.
    void Refresh(bool erase = true);

    // The control this one lies inside; null for a control placed on the window itself.
    RectControl* Parent() const { return m_parent; }
    void SetParent(RectControl* parent);

    // Draws the control's own content; g's origin is the control's top-left corner.
    virtual void paint(Graphics& g);

protected:
    RectControl() = default;

    // Whether a point of the control, in its own coordinates, takes the pointer. The whole
    // rectangle unless a control class draws less of it.
    virtual bool hit(int x, int y);
    // The narrowest a control locked left and right becomes when its window is narrower than
    // the window it was placed for.
    virtual int minimum_width() const { return 0; }
    // The width the program gave the control.
    int placed_width() const { return m_placed_w; }

    // The pointer's events, from the dispatcher. A control class that handles an event itself
    // overrides these; by default they go to the holder's handlers.
    virtual bool handle_mouse_down(int x, int y) { return raise(Event::MouseDown, {x, y}); }
    virtual void handle_mouse_drag(int x, int y) { raise(Event::MouseDrag, {x, y}); }
    virtual void handle_mouse_up(int x, int y) { raise(Event::MouseUp, {x, y}); }
    virtual void handle_mouse_enter() { raise(Event::MouseEnter); }
    virtual void handle_mouse_exit() { raise(Event::MouseExit); }

private:
    friend class Dispatcher;
    friend class Window;

    // Visible itself, inside visible parents, on a window that is shown.
    bool is_shown() const;
    bool is_inside(const RectControl& ancestor) const;
    // The control whose area this one belongs to for the pointer: its parent, or for a control
    // placed on the window, the window's own area; null for that area itself.
    RectControl* container() const;
    // Follows the window's new size as its locked edges say.
    void follow_window(int width, int height);
    // Sets the rectangle; placed by the program, the locks measure from it afterwards.
    void set_rect(const Rect& r, bool placed = true);
    void invalidate_tree();

    Rect m_rect;
    // Where the program placed the control: its width, and its distances to the window's right
    // and bottom edges then, which the locks keep when the window's size changes.
    int m_placed_w = 0;
    int m_right_gap = 0, m_bottom_gap = 0;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_lock_left = true;
    bool m_lock_top = true;
    bool m_lock_right = false;
    bool m_lock_bottom = false;
    Ref<platform::MouseCursor> m_cursor;
    RectControl* m_parent = nullptr;
};

} // namespace platform
