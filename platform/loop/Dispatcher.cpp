#include "platform/loop/Dispatcher.h"

#include "platform/Runtime.h"
#include "platform/windows/Desktop.h"
#include "platform/windows/Window.h"

#include <algorithm>
#include <utility>

namespace platform {

Dispatcher::Dispatcher(Backend& backend, Desktop& desktop)
    : m_backend(backend), m_desktop(desktop) {
}

void Dispatcher::pointer_moved(int x, int y) {
    m_pointer = {x, y};
    m_pointer_known = true;
    Runtime& runtime = Runtime::current();
    if (m_capture_control) {
        Ref<RectControl> c(m_capture_control);
        Window* w = c->window();
        int lx = x - (w ? w->Left() : 0) - c->Left();
        int ly = y - (w ? w->Top() : 0) - c->Top();
        runtime.guard([&] { return c->handler_name(Event::MouseDrag); },
                      [&] { c->handle_mouse_drag(lx, ly); });
        return;
    }
    if (m_capture_window) {
        Ref<Window> w(m_capture_window);
        runtime.guard([&] { return w->ClassName() + ".Event_MouseDrag"; },
                      [&] { w->Event_MouseDrag(x - w->Left(), y - w->Top()); });
        return;
    }
    update_hover();
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
    Runtime& runtime = Runtime::current();
    int lx = x - w->Left(), ly = y - w->Top();
    // The press goes to the control under the pointer, then to each control it lies inside,
    // then to the window, until one takes it.
    for (Ref<RectControl> c(w->control_at(lx, ly)); c; c = Ref<RectControl>(c->Parent())) {
        bool taken = false;
        runtime.guard([&] { return c->handler_name(Event::MouseDown); },
                      [&] { taken = c->handle_mouse_down(lx - c->Left(), ly - c->Top()); });
        if (taken) {
            m_capture_control = c.get();
            return;
        }
    }
    bool taken = false;
    runtime.guard([&] { return w->ClassName() + ".Event_MouseDown"; },
                  [&] { taken = w->Event_MouseDown(lx, ly); });
    if (taken)
        m_capture_window = w.get();
}

void Dispatcher::pointer_released(int x, int y) {
    m_pointer = {x, y};
    m_pointer_known = true;
    Runtime& runtime = Runtime::current();
    Ref<RectControl> c(std::exchange(m_capture_control, nullptr));
    Ref<Window> w(std::exchange(m_capture_window, nullptr));
    if (c) {
        Window* cw = c->window();
        int lx = x - (cw ? cw->Left() : 0) - c->Left();
        int ly = y - (cw ? cw->Top() : 0) - c->Top();
        runtime.guard([&] { return c->handler_name(Event::MouseUp); },
                      [&] { c->handle_mouse_up(lx, ly); });
    } else if (w) {
        runtime.guard([&] { return w->ClassName() + ".Event_MouseUp"; },
                      [&] { w->Event_MouseUp(x - w->Left(), y - w->Top()); });
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
    if (m_hover_window == &window)
        m_hover_window = nullptr;
    std::erase_if(m_hover_chain, [&](RectControl* c) { return c->window() == &window; });
    if (m_capture_window == &window)
        m_capture_window = nullptr;
    if (m_capture_control && m_capture_control->window() == &window)
        m_capture_control = nullptr;
}

void Dispatcher::update_hover() {
    if (!m_pointer_known || has_capture())
        return;
    Runtime& runtime = Runtime::current();
    Ref<Window> window(m_desktop.window_at(m_pointer.x, m_pointer.y));
    std::vector<RectControl*> chain;
    if (window)
        for (RectControl* c =
                 window->control_at(m_pointer.x - window->Left(), m_pointer.y - window->Top());
             c; c = c->Parent())
            chain.insert(chain.begin(), c);
    if (window.get() == m_hover_window && chain == m_hover_chain) {
        update_cursor();
        return;
    }

    // Everything that gets an event is kept alive until the handlers have run.
    std::vector<Ref<RectControl>> old_chain(m_hover_chain.begin(), m_hover_chain.end());
    std::vector<Ref<RectControl>> new_chain(chain.begin(), chain.end());
    Ref<Window> old_window(m_hover_window);
    m_hover_chain = chain;
    m_hover_window = window.get();
    auto in = [](const std::vector<RectControl*>& list, const Ref<RectControl>& c) {
        return std::find(list.begin(), list.end(), c.get()) != list.end();
    };
    std::vector<RectControl*> old_raw(old_chain.size());
    std::transform(old_chain.begin(), old_chain.end(), old_raw.begin(),
                   [](const Ref<RectControl>& c) { return c.get(); });

    for (auto it = old_chain.rbegin(); it != old_chain.rend(); ++it) {
        Ref<RectControl> c = *it;
        if (!in(chain, c))
            runtime.guard([&] { return c->handler_name(Event::MouseExit); },
                          [&] { c->handle_mouse_exit(); });
    }
    if (old_window != window) {
        if (old_window)
            runtime.guard([&] { return old_window->ClassName() + ".Event_MouseExit"; },
                          [&] { old_window->Event_MouseExit(); });
        if (window)
            runtime.guard([&] { return window->ClassName() + ".Event_MouseEnter"; },
                          [&] { window->Event_MouseEnter(); });
    }
    for (const Ref<RectControl>& c : new_chain)
        if (!in(old_raw, c))
            runtime.guard([&] { return c->handler_name(Event::MouseEnter); },
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
        m_backend.set_cursor_shape(shape);
    }
}

} // namespace platform
