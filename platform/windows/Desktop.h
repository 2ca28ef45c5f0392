#pragma once

#include "platform/graphics/Display.h"
#include "platform/graphics/DrawTarget.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"

#include <cstdint>
#include <vector>

namespace platform {

class FailureLog;
class Window;

// The shown windows in their stacking order, which of them is active, and the screen buffer
// they are composed into. Repaints are collected and done together; only what changed is
// presented.
class Desktop : public DrawTarget {
public:
    Desktop(Display& display, FailureLog& failures);

    Surface surface() override { return m_display.screen(); }
    Rect screen_bounds() { return m_display.screen().bounds(); }

    // Puts the window on screen, above the others (a full-screen window stays beneath the
    // ones that are not), and makes it the active window.
    void show(Window& window);
    void hide(Window& window);
    // A click on a shown window activates it and raises it unless it is full screen.
    void click_activate(Window& window);
    Window* active_window() const { return m_active; }
    // Shown windows, bottom first.
    const std::vector<Window*>& stack() const { return m_stack; }
    Window* window_at(int x, int y) const;
    void window_moved(Window& window, const Rect& from, const Rect& to);
    void forget(Window& window);

    // The part of a window that no window above covers, in screen coordinates.
    Region visible_region(const Window& window) const;
    // Changes whenever a window is shown, hidden or moved.
    uint64_t layout_generation() const { return m_generation; }

    // Marks a screen rectangle for repainting.
    void invalidate(const Rect& r);
    void invalidate_all() { invalidate(screen_bounds()); }
    // The screen buffer was made anew at another size: everything is repainted.
    void screen_resized();
    // Marks a screen rectangle as drawn, to be presented.
    void damage(const Rect& r) override { m_damage.add(r.intersected(screen_bounds())); }
    // Does the repaints asked for so far.
    void paint_pending() override;
    // Repaints and presents what changed.
    void present();

private:
    void activate(Window* window);

    Display& m_display;
    FailureLog& m_failures;
    std::vector<Window*> m_stack;
    Window* m_active = nullptr;
    std::vector<Window*> m_recent; // shown windows, the most recently active last
    Region m_invalid;
    Region m_repainting; // kept to reuse its storage
    Region m_damage;
    bool m_painting = false;
    uint64_t m_generation = 0;
};

} // namespace platform
