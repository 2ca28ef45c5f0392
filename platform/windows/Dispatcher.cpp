#include "platform/windows/Dispatcher.h"

#include "platform/base/FailureLog.h"
#include "platform/windows/Desktop.h"
#include "platform/windows/Window.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

// A screen point in a control's own coordinates.
Point local(const RectControl& c, int x, int y) {
    Window* w = c.window();
    return {x - (w ? w->Left() : 0) - c.Left(), y - (w ? w->Top() : 0) - c.Top()};
}

} // namespace

Dispatcher::Dispatcher(Desktop& desktop) : m_desktop(desktop) {
}

void Dispatcher::pointer_moved(int x, int y) {
    m_pointer = {x, y};
    m_pointer_known = true;
    if (!m_capture) {
        update_hover();
        return;
    }
    Ref<RectControl> c(m_capture);
    Ref<Window> w(c->window());
    Point at = local(*c, x, y);
    m_desktop.failures().guard([&] { return c->handler_name(Event::MouseDrag); },
                               [&] { c->handle_mouse_drag(at.x, at.y); });
}

void Dispatcher::pointer_pressed(int x, int y) {
    m_pointer = {x, y};
    m_pointer_known = true;
    update_hover();
    Ref<Window> w(m_desktop.window_at(x, y));
    if (!w)
        return;
    m_desktop.click_activate(*w);
    if (!w->Visible())
        return;
    // The press goes to the control under the pointer, then to each control it lies inside,
    // then to the window, until one takes it.
    for (Ref<RectControl> c(w->control_at(x - w->Left(), y - w->Top())); c;
         c = Ref<RectControl>(c->container())) {
        Point at = local(*c, x, y);
        bool taken = false;
        m_desktop.failures().guard([&] { return c->handler_name(Event::MouseDown); },
                                   [&] { taken = c->handle_mouse_down(at.x, at.y); });
        if (taken) {
            m_capture = c.get();
            return;
        }
    }
}

void Dispatcher::pointer_released(int x, int y) {
    m_pointer = {x, y};
    m_pointer_known = true;
    if (Ref<RectControl> c{std::exchange(m_capture, nullptr)}) {
        Ref<Window> w(c->window());
        Point at = local(*c, x, y);
        m_desktop.failures().guard([&] { return c->handler_name(Event::MouseUp); },
                                   [&] { c->handle_mouse_up(at.x, at.y); });
    }
    update_hover();
}

void Dispatcher::sync() {
    // Handlers run by a hover change may change the layout again; a few rounds settle it.
    for (int round = 0; round < 4 && m_layout_changed; ++round) {
        m_layout_changed = false;
        update_hover();
    }
    m_layout_changed = false;
}

void Dispatcher::forget(Window& window) {
    std::erase_if(m_hover_chain, [&](RectControl* c) { return c->window() == &window; });
    if (m_capture && m_capture->window() == &window)
        m_capture = nullptr;
}

void Dispatcher::update_hover() {
    if (!m_pointer_known || has_capture())
        return;
    std::vector<RectControl*> chain;
    if (Window* w = m_desktop.window_at(m_pointer.x, m_pointer.y))
        for (RectControl* c = w->control_at(m_pointer.x - w->Left(), m_pointer.y - w->Top()); c;
             c = c->container())
            chain.insert(chain.begin(), c);
    if (chain == m_hover_chain) {
        update_cursor();
        return;
    }

    // Everything that gets an event is kept alive until the handlers have run, windows too: a
    // window's area calls the window.
    std::vector<Ref<RectControl>> old_chain(m_hover_chain.begin(), m_hover_chain.end());
    std::vector<Ref<RectControl>> new_chain(chain.begin(), chain.end());
    Ref<Window> old_window(old_chain.empty() ? nullptr : old_chain.front()->window());
    Ref<Window> new_window(new_chain.empty() ? nullptr : new_chain.front()->window());
    std::vector<RectControl*> old_raw = std::exchange(m_hover_chain, chain);
    auto in = [](const std::vector<RectControl*>& list, const Ref<RectControl>& c) {
        return std::find(list.begin(), list.end(), c.get()) != list.end();
    };
    for (auto it = old_chain.rbegin(); it != old_chain.rend(); ++it) {
        const Ref<RectControl>& c = *it;
        if (!in(chain, c))
            m_desktop.failures().guard([&] { return c->handler_name(Event::MouseExit); },
                                       [&] { c->handle_mouse_exit(); });
    }
    for (const Ref<RectControl>& c : new_chain)
        if (!in(old_raw, c))
            m_desktop.failures().guard([&] { return c->handler_name(Event::MouseEnter); },
                                       [&] { c->handle_mouse_enter(); });
    update_cursor();
}

void Dispatcher::update_cursor() {
    CursorShape shape = CursorShape::StandardPointer;
    for (auto it = m_hover_chain.rbegin(); it != m_hover_chain.rend(); ++it)
        if ((*it)->MouseCursor()) {
            shape = (*it)->MouseCursor()->shape();
            break;
        }
    if (shape != m_shape) {
        m_shape = shape;
        m_desktop.display().set_cursor_shape(shape);
    }
}

} // namespace platform
