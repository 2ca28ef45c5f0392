#pragma once

#include "platform/base/Current.h"
#include "platform/base/Ref.h"
#include "platform/graphics/Display.h"
#include "platform/graphics/DrawTarget.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"
#include "platform/windows/Dispatcher.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

class DesktopServices;
class FailureLog;
class TextRenderer;
class TimerQueue;
class Window;

// The shown windows in their stacking order, which of them is active, and the screen buffer
// they are composed into. Repaints are collected and done together; only what changed is
// presented. It is what the windows and their controls reach the rest through: the display,
// the pointer's dispatcher, the loop's timers, the labels' text and where failures go.
class Desktop : public DrawTarget {
public:
    Desktop(Display& display, DesktopServices& services, FailureLog& failures, TimerQueue& timers);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // The desktop of the running program: a window finds it when it is made.
    static Desktop& current() { return Current<Desktop>::get(); }

    Display& display() { return m_display; }
    Dispatcher& dispatcher() { return m_dispatcher; }
    FailureLog& failures() { return m_failures; }
    TimerQueue& timers() { return m_timers; }
    TextRenderer& text();

    // The screen buffer, at the picture's brightness.
    Surface surface() override;
    // How the logical pixels of the windows map onto the screen buffer's.
    Scale scale() const { return m_display.screen().scale; }
    // The screen in logical pixels, where the windows are laid out.
    Rect screen_bounds() const {
        Surface screen = m_display.screen();
        return screen.scale.to_logical_covering(screen.bounds());
    }

    // Puts the window on screen, above the others (a full-screen window stays beneath the
    // ones that are not), and makes it the active window unless it is passive.
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

    // Marks a screen rectangle (logical pixels, as everything but the screen buffer) for
    // repainting.
    void invalidate(const Rect& r);
    void invalidate_all() { invalidate(screen_bounds()); }
    // What the screen showed was lost: all of it is shown again.
    void screen_lost();
    // The screen buffer was made anew at another size: everything is repainted, and every window
    // takes its place on the new screen (after the screen observer has heard of it).
    void screen_resized();
    // Hears of the screen's new size, for what follows it outside the windows.
    void set_screen_observer(std::function<void(const Rect&)> observer) {
        m_screen_observer = std::move(observer);
    }

    // The brightness of the whole picture, 0 (black) to Surface::kFullBrightness: everything
    // drawn from now on takes it, and the screen is repainted at it. At 0 the screen is made
    // black once and nothing more is drawn until it is brighter again.
    void set_brightness(uint32_t brightness);
    uint32_t brightness() const { return m_brightness; }
    // Who tells whether the screen can be seen: the display (the window covered or minimised,
    // the monitor switched off, the server's screen saver on) and the desktop session (the
    // screen locked). The screen is seen while neither says otherwise.
    enum class SeenBy : uint8_t { Display = 1, Session = 2 };
    // Whether the screen can be seen, as by says. While it cannot nothing is drawn or
    // presented; when it can again, the whole screen is repainted once.
    void set_seen(bool seen, SeenBy by = SeenBy::Display);
    bool is_seen() const { return m_unseen == 0; }
    // The display holds off the desktop's screen blanking and locking exactly while the picture
    // is drawn: seen and brighter than black.
    bool is_drawing() const override { return is_seen() && m_brightness > 0; }
    // Marks a rectangle of the screen buffer (device pixels) as drawn, to be presented.
    void damage(const Rect& r) override;
    uint64_t watch(const Rect& device) override;
    const Region* touched_since(uint64_t watch) const override {
        return watch != 0 && watch == m_watch ? &m_touched : nullptr;
    }
    // Does the repaints asked for so far.
    void paint_pending() override;
    // Repaints and presents what changed; after a whole repaint the windows draw again what they
    // draw straight onto the screen.
    void present();

    // The implicit window list: each window its constructor built, kept until shutdown releases
    // the list, found by its qualified class name ("Window1.Window1").
    void register_implicit_window(const Ref<Window>& window);
    Ref<Window> implicit_window(const std::string& qualified_class_name) const;
    void release_implicit_windows();

private:
    void activate(Window* window);
    // Tells the display whether to hold the screen's rest off, when that changed.
    void follow_drawing();

    Display& m_display;
    DesktopServices& m_services;
    FailureLog& m_failures;
    TimerQueue& m_timers;
    Dispatcher m_dispatcher{*this};
    std::function<void(const Rect&)> m_screen_observer;
    std::vector<Ref<Window>> m_implicit_windows;
    std::vector<Window*> m_stack;
    Window* m_active = nullptr;
    std::vector<Window*> m_recent; // shown windows, the most recently active last
    Region m_invalid;
    Region m_repainting; // kept to reuse its storage
    Region m_damage;
    // The watched rectangle, its number (0 while none is watched) and what was drawn over it.
    Rect m_watched;
    uint64_t m_watch = 0;
    uint64_t m_watches = 0;
    Region m_touched;
    bool m_painting = false;
    uint64_t m_generation = 0;
    uint32_t m_brightness = Surface::kFullBrightness;
    uint8_t m_unseen = 0; // the SeenBy bits of those that say the screen is not seen
    bool m_screen_held = false;
    // The screen is to be made black: the picture went to brightness 0, or what the black
    // screen showed was lost.
    bool m_blackout_pending = false;
    // The whole screen is being painted afresh: the windows hear of it once it is.
    bool m_expose_pending = false;
};

} // namespace platform
