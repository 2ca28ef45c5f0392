#include "platform/windows/Window.h"

#include "platform/base/FailureLog.h"
#include "platform/windows/Desktop.h"
#include "platform/windows/Timer.h"

#include <algorithm>
#include <iostream>

namespace platform {

// The window's own area: it paints the window's background and takes the pointer's events
// where no control does, handing them to the window's Event_ methods.
class Window::Area : public RectControl {
public:
    explicit Area(Window& window) : m_owner(window) {}

    void paint(platform::Graphics& g) override {
        if (m_owner.m_has_back_color && !m_owner.backdrop_covers(g.clip().bounds())) {
            g.SetForeColor(m_owner.m_back_color);
            g.FillRect(0, 0, Width(), Height());
        }
        g.DrawPicture(m_owner.m_backdrop, 0, 0);
        m_owner.Event_Paint(g);
    }

protected:
    bool handle_mouse_down(int x, int y) override { return m_owner.Event_MouseDown(x, y); }
    void handle_mouse_drag(int x, int y) override { m_owner.Event_MouseDrag(x, y); }
    void handle_mouse_up(int x, int y) override { m_owner.Event_MouseUp(x, y); }
    void handle_mouse_enter() override { m_owner.Event_MouseEnter(); }
    void handle_mouse_exit() override { m_owner.Event_MouseExit(); }

private:
    Window& m_owner;
};

Window::Window() : m_desktop(Desktop::current()) {
    m_graphics = make_ref<platform::Graphics>(m_desktop, Point{}, Region{});
    m_paint_graphics = make_ref<platform::Graphics>(m_desktop, Point{}, Region{});
    m_area = make_ref<Area>(*this);
    // Named so that the window's handlers follow the controls' rule: Event_MouseDown.
    m_area->m_name = "Event";
    m_area->m_window = this;
    m_area->m_rect = {0, 0, m_frame.w, m_frame.h};
}

Window::~Window() {
    // A window the program still holds after the runtime ended has no desktop to leave.
    if (Current<Desktop>::find() == &m_desktop)
        m_desktop.forget(*this);
}

void Window::Construct() {
    Layout();
    CreateControls();
    AddMenuHandlers();

    set_frame(placement(m_desktop.screen_bounds()));

    m_desktop.register_implicit_window(Ref<Window>(this));
    FailureLog& failures = m_desktop.failures();
    m_constructed = true;
    for (size_t i = 0; i < m_controls.size(); ++i) {
        Ref<platform::Control> c = m_controls[i];
        failures.guard(c->handler_name(Event::Open), [&] { c->handle_open(); });
    }
    failures.guard(handler_name(Event::Open), [this] { Event_Open(); });
    if (m_visible) {
        m_visible = false;
        Show();
    }
}

void Window::Show() {
    if (!m_constructed) {
        m_visible = true;
        return;
    }
    m_desktop.show(*this);
}

void Window::Hide() {
    if (!m_constructed) {
        m_visible = false;
        return;
    }
    m_desktop.hide(*this);
}

void Window::SetVisible(bool visible) {
    if (visible)
        Show();
    else
        Hide();
}

Rect Window::placement(const Rect& screen) const {
    if (m_full_screen)
        return screen;
    if (m_position_set)
        return m_frame;
    // The default placement: centred on the screen.
    return {screen.x + (screen.w - m_frame.w) / 2, screen.y + (screen.h - m_frame.h) / 2, m_frame.w,
            m_frame.h};
}

void Window::screen_changed(const Rect& screen) {
    Rect placed = placement(screen);
    // The backdrop is drawn from the top-left corner: a larger window wants more of it, before
    // anything is painted at the new size.
    std::string why;
    if (m_backdrop && !m_backdrop->cover(placed.w, placed.h, why))
        std::cerr << "quorvane: the backdrop cannot cover the new screen: " << why << std::endl;
    set_frame(placed);
}

void Window::set_frame(const Rect& r) {
    if (r == m_frame)
        return;
    if (m_constructed && m_visible)
        m_desktop.window_moved(*this, m_frame, r);
    bool resized = r.w != m_frame.w || r.h != m_frame.h;
    m_frame = r;
    m_area->m_rect = {0, 0, r.w, r.h};
    if (!resized)
        return;
    for (const Ref<platform::Control>& c : m_controls)
        if (auto* rc = dynamic_cast<RectControl*>(c.get()))
            rc->follow_window(r.w, r.h);
    if (m_constructed)
        m_desktop.failures().guard(handler_name(Event::Resized), [this] { Event_Resized(); });
}

void Window::SetLeft(int left) {
    m_position_set = true;
    set_frame({left, m_frame.y, m_frame.w, m_frame.h});
}

void Window::SetTop(int top) {
    m_position_set = true;
    set_frame({m_frame.x, top, m_frame.w, m_frame.h});
}

void Window::SetWidth(int width) {
    set_frame({m_frame.x, m_frame.y, std::clamp(width, m_min_width, m_max_width), m_frame.h});
}

void Window::SetHeight(int height) {
    set_frame({m_frame.x, m_frame.y, m_frame.w, std::clamp(height, m_min_height, m_max_height)});
}

void Window::SetMinimumSize(int width, int height) {
    m_min_width = width;
    m_min_height = height;
}

void Window::SetMaximumSize(int width, int height) {
    m_max_width = width;
    m_max_height = height;
}

void Window::SetBackdrop(Ref<Picture> picture) {
    m_backdrop = std::move(picture);
    invalidate({0, 0, m_frame.w, m_frame.h});
}

bool Window::paints_over(const Rect& r) const {
    return m_frame.contains(r) && (m_has_back_color || backdrop_covers(r));
}

bool Window::backdrop_covers(const Rect& r) const {
    return m_backdrop && !m_backdrop->image().is_empty() && m_backdrop->image().is_opaque() &&
           Rect{m_frame.x, m_frame.y, m_backdrop->Width(), m_backdrop->Height()}.contains(r);
}

Ref<platform::Graphics> Window::Graphics() {
    uint64_t generation = m_desktop.layout_generation();
    if (generation != m_graphics_generation) {
        m_graphics->set_origin({m_frame.x, m_frame.y});
        m_graphics->set_clip(m_desktop.visible_region(*this));
        m_graphics_generation = generation;
    }
    return m_graphics;
}

void Window::add_control(const std::string& name, const Ref<platform::Control>& control) {
    control->m_name = name;
    control->m_window = this;
    m_controls.push_back(control);
    m_paint_order_stale = true;
    if (auto* rc = dynamic_cast<RectControl*>(control.get()))
        rc->Refresh();
}

void Window::remove_control(const std::string& name) {
    auto it = std::find_if(m_controls.begin(), m_controls.end(),
                           [&](const Ref<platform::Control>& c) { return c->Name() == name; });
    if (it == m_controls.end())
        return;
    Ref<platform::Control> removed = *it;
    if (auto* rc = dynamic_cast<RectControl*>(removed.get()))
        invalidate_control_tree(*rc);
    if (auto* timer = dynamic_cast<Timer*>(removed.get()))
        timer->SetMode(Timer::ModeOff);
    m_controls.erase(it);
    m_removed_controls.push_back(removed);
    m_paint_order_stale = true;
}

Ref<platform::Control> Window::control(const std::string& name) const {
    for (const Ref<platform::Control>& c : m_controls)
        if (c->Name() == name)
            return c;
    return nullptr;
}

RectControl* Window::area() const {
    return m_area.get();
}

std::string Window::handler_name(Event event) const {
    return m_area->handler_name(event);
}

void Window::invalidate(const Rect& window_rect) {
    if (m_constructed && m_visible)
        m_desktop.invalidate(window_rect.translated(m_frame.x, m_frame.y).intersected(m_frame));
}

void Window::invalidate_control_tree(RectControl& control) {
    control.Refresh();
    for (RectControl* c : paint_order())
        if (c->is_inside(control))
            c->Refresh();
    m_desktop.dispatcher().layout_changed();
}

void Window::pointer_shape_changed() {
    m_desktop.dispatcher().layout_changed();
}

const std::vector<RectControl*>& Window::paint_order() {
    if (!m_paint_order_stale)
        return m_paint_order;
    m_paint_order.assign(1, m_area.get());
    std::vector<RectControl*> all;
    for (const Ref<platform::Control>& c : m_controls)
        if (auto* rc = dynamic_cast<RectControl*>(c.get()))
            all.push_back(rc);
    // Depth first: each control is followed by the controls inside it, siblings in creation
    // order.
    auto visit = [&](auto& self, RectControl* parent) -> void {
        for (RectControl* c : all)
            if (c->Parent() == parent) {
                m_paint_order.push_back(c);
                self(self, c);
            }
    };
    visit(visit, nullptr);
    m_paint_order_stale = false;
    return m_paint_order;
}

RectControl* Window::control_at(int x, int y) {
    const std::vector<RectControl*>& order = paint_order();
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if ((*it)->is_shown() && (*it)->bounds().contains(x, y) &&
            (*it)->hit(x - (*it)->Left(), y - (*it)->Top()))
            return *it;
    return nullptr;
}

void Window::paint(const Rect& screen_clip) {
    FailureLog& failures = m_desktop.failures();
    platform::Graphics& g = *m_paint_graphics;
    for (RectControl* c : paint_order()) {
        if (!c->is_shown())
            continue;
        Rect on_screen = c->bounds().translated(m_frame.x, m_frame.y);
        Rect clip = on_screen.intersected(screen_clip);
        if (clip.is_empty())
            continue;
        g.set_origin({on_screen.x, on_screen.y});
        g.set_clip_rect(clip);
        Ref<RectControl> protector(c);
        // Names are made only for a failure report: painting must not allocate.
        failures.guard([c] { return c->handler_name(Event::Paint); }, [&] { c->paint(g); });
    }
}

} // namespace platform
