#include "platform/windows/Desktop.h"

#include "platform/base/FailureLog.h"
#include "platform/base/Ref.h"
#include "platform/graphics/PixelOps.h"
#include "platform/sound/DesktopServices.h"
#include "platform/windows/Window.h"

#include <algorithm>

namespace platform {

Desktop::Desktop(Display& display, DesktopServices& services, FailureLog& failures,
                 TimerQueue& timers)
    : m_display(display), m_services(services), m_failures(failures), m_timers(timers) {
    follow_drawing();
}

Desktop::~Desktop() = default;

TextRenderer& Desktop::text() {
    return m_services.text();
}

Surface Desktop::surface() {
    Surface screen = m_display.screen();
    screen.brightness = m_brightness;
    return screen;
}

void Desktop::show(Window& window) {
    auto it = std::find(m_stack.begin(), m_stack.end(), &window);
    if (it != m_stack.end())
        m_stack.erase(it);
    if (window.FullScreen()) {
        auto first_floating = std::find_if(m_stack.begin(), m_stack.end(),
                                           [](Window* w) { return !w->FullScreen(); });
        m_stack.insert(first_floating, &window);
    } else {
        m_stack.push_back(&window);
    }
    window.set_shown(true);
    ++m_generation;
    invalidate(window.frame());
    if (!window.is_passive())
        activate(&window);
    m_dispatcher.layout_changed();
}

void Desktop::hide(Window& window) {
    auto it = std::find(m_stack.begin(), m_stack.end(), &window);
    if (it == m_stack.end())
        return;
    m_stack.erase(it);
    window.set_shown(false);
    ++m_generation;
    invalidate(window.frame());
    std::erase(m_recent, &window);
    // Activation goes back to the window that had it before, as on a desktop.
    if (m_active == &window)
        activate(m_recent.empty() ? nullptr : m_recent.back());
    m_dispatcher.layout_changed();
}

void Desktop::click_activate(Window& window) {
    if (!window.FullScreen() && !m_stack.empty() && m_stack.back() != &window) {
        auto it = std::find(m_stack.begin(), m_stack.end(), &window);
        if (it != m_stack.end()) {
            m_stack.erase(it);
            m_stack.push_back(&window);
            ++m_generation;
            invalidate(window.frame());
        }
    }
    activate(&window);
}

void Desktop::activate(Window* window) {
    if (window) {
        std::erase(m_recent, window);
        m_recent.push_back(window);
    }
    if (window == m_active)
        return;
    Ref<Window> previous(m_active);
    Ref<Window> next(window);
    m_active = window;
    if (previous)
        m_failures.guard([&] { return previous->handler_name(Event::Deactivate); },
                         [&] { previous->Event_Deactivate(); });
    if (next && m_active == window)
        m_failures.guard([&] { return next->handler_name(Event::Activate); },
                         [&] { next->Event_Activate(); });
}

Window* Desktop::window_at(int x, int y) const {
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it)
        if (!(*it)->is_passive() && (*it)->frame().contains(x, y))
            return *it;
    return nullptr;
}

void Desktop::window_moved(Window&, const Rect& from, const Rect& to) {
    ++m_generation;
    invalidate(from);
    invalidate(to);
    m_dispatcher.layout_changed();
}

void Desktop::forget(Window& window) {
    m_dispatcher.forget(window);
    auto it = std::find(m_stack.begin(), m_stack.end(), &window);
    if (it != m_stack.end()) {
        m_stack.erase(it);
        ++m_generation;
        invalidate(window.frame());
    }
    std::erase(m_recent, &window);
    if (m_active == &window)
        m_active = nullptr;
}

Region Desktop::visible_region(const Window& window) const {
    Region region;
    auto it = std::find(m_stack.begin(), m_stack.end(), &window);
    if (it == m_stack.end())
        return region;
    region.add(window.frame().intersected(screen_bounds()));
    for (++it; it != m_stack.end(); ++it)
        region.subtract((*it)->frame());
    return region;
}

void Desktop::invalidate(const Rect& r) {
    Rect clipped = r.intersected(screen_bounds());
    if (!clipped.is_empty())
        m_invalid.add(clipped);
}

void Desktop::screen_lost() {
    invalidate_all();
    m_expose_pending = true;
    if (m_brightness == 0)
        m_blackout_pending = true;
}

void Desktop::damage(const Rect& r) {
    const Rect on_screen = r.intersected(m_display.screen().bounds());
    m_damage.add(on_screen);
    if (m_watch != 0)
        m_touched.add(on_screen.intersected(m_watched));
}

uint64_t Desktop::watch(const Rect& device) {
    m_watched = device;
    m_touched.clear();
    m_watch = ++m_watches;
    return m_watch;
}

void Desktop::screen_resized() {
    m_invalid.clear();
    m_damage.clear();
    // What was watched is gone with the old buffer.
    m_watch = 0;
    ++m_generation;
    screen_lost();
    Rect screen = screen_bounds();
    if (m_screen_observer)
        m_screen_observer(screen);
    // Oldest first, by index: a window's Resized handler may make another window.
    for (size_t i = 0; i < m_implicit_windows.size(); ++i) {
        Ref<Window> window = m_implicit_windows[i];
        window->screen_changed(screen);
    }
    m_dispatcher.layout_changed();
}

void Desktop::set_brightness(uint32_t brightness) {
    brightness = std::min(brightness, Surface::kFullBrightness);
    if (brightness == m_brightness)
        return;
    m_brightness = brightness;
    screen_lost();
    follow_drawing();
}

void Desktop::set_seen(bool seen, SeenBy by) {
    bool was_seen = is_seen();
    auto bit = static_cast<uint8_t>(by);
    m_unseen = seen ? m_unseen & ~bit : m_unseen | bit;
    if (is_seen() == was_seen)
        return;
    // What was drawn before nobody saw it is not presented: the repaint on return covers it.
    m_damage.clear();
    if (is_seen())
        screen_lost();
    follow_drawing();
}

void Desktop::follow_drawing() {
    if (is_drawing() == m_screen_held)
        return;
    m_screen_held = is_drawing();
    m_display.hold_screen(m_screen_held);
}

void Desktop::paint_pending() {
    if (!is_drawing()) {
        m_invalid.clear();
        return;
    }
    if (m_painting || m_invalid.is_empty())
        return;
    m_painting = true;
    Surface screen = surface();
    // Painting may ask for more repaints (a handler that changes what it draws); those wait
    // for the next round.
    std::swap(m_repainting, m_invalid);
    m_invalid.clear();
    for (const Rect& r : m_repainting.rects()) {
        const Rect device = screen.scale.to_device(r);
        bool covered = std::any_of(m_stack.begin(), m_stack.end(),
                                   [&](Window* w) { return w->paints_over(r); });
        if (!covered)
            PixelOps::fill(screen, device, device, 0xFF000000u);
        for (size_t i = 0; i < m_stack.size(); ++i) {
            Window* w = m_stack[i];
            Rect part = r.intersected(w->frame());
            if (!part.is_empty())
                w->paint(part);
        }
        damage(device);
    }
    m_repainting.clear();
    m_painting = false;
}

void Desktop::present() {
    if (is_seen() && m_blackout_pending) {
        Surface screen = m_display.screen();
        PixelOps::fill(screen, screen.bounds(), screen.bounds(), 0xFF000000u);
        m_damage.clear();
        damage(screen.bounds());
        m_blackout_pending = false;
    }
    paint_pending();
    if (m_expose_pending && is_drawing()) {
        m_expose_pending = false;
        // Oldest first, by index: a handler may show or hide a window.
        for (size_t i = 0; i < m_stack.size(); ++i) {
            Ref<Window> w(m_stack[i]);
            m_failures.guard([&] { return w->handler_name(Event::Exposed); },
                             [&] { w->Event_Exposed(); });
        }
    }
    if (m_damage.is_empty())
        return;
    m_display.present(m_damage);
    m_damage.clear();
}

void Desktop::register_implicit_window(const Ref<Window>& window) {
    m_implicit_windows.push_back(window);
}

Ref<Window> Desktop::implicit_window(const std::string& qualified_class_name) const {
    for (const Ref<Window>& w : m_implicit_windows)
        if (w->ClassName() + "." + w->ClassName() == qualified_class_name)
            return w;
    return nullptr;
}

void Desktop::release_implicit_windows() {
    // Released one by one, newest first, so a window may still find an older one while it goes.
    while (!m_implicit_windows.empty())
        m_implicit_windows.pop_back();
}

} // namespace platform
