#pragma once

#include "platform/base/Color.h"
#include "platform/base/Object.h"
#include "platform/base/Ref.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/Picture.h"
#include "platform/windows/Control.h"
#include "platform/windows/RectControl.h"

#include <string>
#include <vector>

namespace platform {

class Desktop;

// A window of the program. All windows live inside the one native full-screen window: the
// runtime composites them in their stacking order and gives them activation, pointer enter and
// exit, hit testing and capture of their own.
//
// A window class overrides Layout (its own properties) and CreateControls (its controls, made
// and wired in one place), and handles its own events by overriding the Event_ methods.
class Window : public Object {
public:
    Window();
    ~Window() override;

    // The class name the implicit-instance registry knows it by ("Window1").
    virtual std::string ClassName() const = 0;

    // The desktop it was made on, through which it and its controls reach the rest.
    Desktop& desktop() const { return m_desktop; }

    // The framework's window constructor: Layout, CreateControls, the window takes its size on
    // the screen (locked control edges follow), it enters the implicit window list, the
    // controls' Open events then the window's, and a Visible window shows.
    void Construct();

    void Show();
    void Hide();
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);

    int Left() const { return m_frame.x; }
    int Top() const { return m_frame.y; }
    int Width() const { return m_frame.w; }
    int Height() const { return m_frame.h; }
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    // Screen coordinates.
    const Rect& frame() const { return m_frame; }

    // A passive window (a note) shows above the others without becoming the active window, and
    // the pointer passes through it to what lies beneath.
    bool is_passive() const { return m_passive; }
    void set_passive(bool passive) { m_passive = passive; }

    bool FullScreen() const { return m_full_screen; }
    void SetFullScreen(bool full_screen) { m_full_screen = full_screen; }
    void SetMinimumSize(int width, int height);
    void SetMaximumSize(int width, int height);

    bool HasBackColor() const { return m_has_back_color; }
    void SetHasBackColor(bool has) { m_has_back_color = has; }
    void SetBackColor(Color colour) { m_back_color = colour; }
    const Ref<Picture>& Backdrop() const { return m_backdrop; }
    void SetBackdrop(Ref<Picture> picture);
    // Whether painting the window covers every pixel of r (screen coordinates) with its own: a
    // back colour, or an opaque backdrop that reaches over r.
    bool paints_over(const Rect& r) const;
    // Whether the backdrop alone does, so that the back colour under it need not be painted.
    bool backdrop_covers(const Rect& r) const;

    // Draws straight onto the screen, clipped to the part of the window that no window above
    // covers.
    Ref<platform::Graphics> Graphics();

    // Makes a control and adds it under its name. Controls lie above one another in creation
    // order, a child above its parent.
    template <class T>
    Ref<T> add(const std::string& name) {
        Ref<T> control = make_ref<T>();
        add_control(name, control);
        return control;
    }
    // Takes a control out of the window: it is no longer found by its name, drawn or hit (nor
    // are the controls inside it), and a timer stops. The object stays with the window, so
    // nothing that still points at it dangles.
    void remove_control(const std::string& name);
    // The control of that name, or nil.
    Ref<platform::Control> control(const std::string& name) const;
    // The control of that name as a T; nil or another class is a nil-object failure.
    template <class T>
    Ref<T> control_as(const std::string& name) const {
        return checked_cast<T>(control(name));
    }

    // The window's own events.
    virtual void Layout() {}
    virtual void CreateControls() {}
    // Where a window installs menu handlers of its own; the program's windows have none.
    virtual void AddMenuHandlers() {}
    virtual void Event_Open() {}
    // The window's size changed after it was built: its locked controls have followed.
    virtual void Event_Resized() {}
    // The whole screen was painted afresh (shown again, at another brightness, or its contents
    // lost): what the window drew straight onto it is gone and may be drawn again.
    virtual void Event_Exposed() {}
    virtual void Event_Activate() {}
    virtual void Event_Deactivate() {}
    virtual bool Event_MouseDown(int, int) { return false; }
    virtual void Event_MouseDrag(int, int) {}
    virtual void Event_MouseUp(int, int) {}
    virtual void Event_MouseEnter() {}
    virtual void Event_MouseExit() {}
    virtual void Event_Paint(platform::Graphics&) {}

protected:
    // Binds a control's event to the handler method of this window named after the control and
    // the event (Canvas1's MouseUp to Canvas1_MouseUp).
    template <class W>
    void bind(Control& c, Event event, void (W::*handler)()) {
        W* self = static_cast<W*>(this);
        c.bind(event, [self, handler](const EventArgs&) {
            (self->*handler)();
            return false;
        });
    }
    template <class W>
    void bind(Control& c, Event event, void (W::*handler)(int, int)) {
        W* self = static_cast<W*>(this);
        c.bind(event, [self, handler](const EventArgs& a) {
            (self->*handler)(a.x, a.y);
            return false;
        });
    }
    template <class W>
    void bind(Control& c, Event event, bool (W::*handler)(int, int)) {
        W* self = static_cast<W*>(this);
        c.bind(event, [self, handler](const EventArgs& a) { return (self->*handler)(a.x, a.y); });
    }

private:
    friend class Desktop;
    friend class Dispatcher;
    friend class RectControl;
    class Area;

    void add_control(const std::string& name, const Ref<Control>& control);
    // The window's own area: the root of its controls, so that the pointer reaches the window
    // through the same hit test, capture and hover as its controls.
    RectControl* area() const;
    // The name of the window's own handler of an event ("Window1.Event_Activate").
    std::string handler_name(Event event) const;
    // Where the window goes on a screen: all of it when full screen, centred when the program
    // has not placed it, else where the program put it.
    Rect placement(const Rect& screen) const;
    // The screen's size changed: a full-screen window follows it, one placed by default is
    // centred again.
    void screen_changed(const Rect& screen);
    // Moves or resizes the window; its locked controls follow a new size.
    void set_frame(const Rect& r);
    void set_shown(bool shown) { m_visible = shown; }
    // A window rectangle is to be repainted.
    void invalidate(const Rect& window_rect);
    void invalidate_control_tree(RectControl& control);
    void controls_changed() { m_paint_order_stale = true; }
    void pointer_shape_changed();
    // The topmost shown control under a point in window coordinates; the window's own area
    // where there is none.
    RectControl* control_at(int x, int y);
    // Composes the window into the screen buffer within a screen rectangle.
    void paint(const Rect& screen_clip);
    // The window's area, then each control followed by the controls inside it.
    const std::vector<RectControl*>& paint_order();

    Desktop& m_desktop;
    bool m_constructed = false;
    bool m_visible = false;
    bool m_position_set = false;
    Rect m_frame{0, 0, 100, 100};
    bool m_full_screen = false;
    bool m_passive = false;
    int m_min_width = 64, m_min_height = 64, m_max_width = 32000, m_max_height = 32000;
    bool m_has_back_color = false;
    Color m_back_color{0, 0, 0};
    Ref<Picture> m_backdrop;

    Ref<RectControl> m_area;
    std::vector<Ref<platform::Control>> m_controls;
    std::vector<Ref<platform::Control>> m_removed_controls;
    std::vector<RectControl*> m_paint_order;
    bool m_paint_order_stale = true;

    Ref<platform::Graphics> m_graphics;       // what Graphics() hands out
    uint64_t m_graphics_generation = ~0ull;   // desktop layout its clip was computed for
    Ref<platform::Graphics> m_paint_graphics; // reused for every paint
};

} // namespace platform
