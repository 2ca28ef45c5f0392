#pragma once

#include "platform/base/BackendError.h"
#include "platform/graphics/Image.h"
#include "platform/loop/FdWatcher.h"
#include "platform/loop/PointerVisibility.h"
#include "platform/native/DesktopBackend.h"
#include "platform/sdl/X11MainScreen.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Surface;
struct SDL_Cursor;
struct SDL_Rect;

namespace platform {

class X11ScreenSaver;

// An X11 desktop through SDL2: one borderless full-screen window at the desktop's size whose
// surface is the screen buffer, presented in parts, at the scale the desktop's settings ask for;
// input; pointer shapes; the screen's rest held off on request, and whether the window can be
// seen; the desktop's services.
class SdlBackend : public DesktopBackend {
public:
    // Opens the display and the window; raises BackendError with the reason when it cannot.
    SdlBackend();
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    Micros now() override;
    std::optional<InputEvent> poll_event() override;

    Surface screen() override;
    void present(const Region& region) override;

    void set_cursor_shape(CursorShape shape) override;
    void set_cursor_visible(bool visible) override;
    void obscure_cursor() override;

    void watch(int fd, short events) override;
    void raise(const std::string& token) override;
    void hold_screen(bool held) override;

private:
    std::optional<InputEvent> wait_for(std::optional<Micros> timeout) override;
    std::optional<InputEvent> translate(const void* sdl_event);
    // The character a key press carries (ShortcutKey), for SDL's keycode and scancode.
    std::optional<char> shortcut_key(int32_t keycode, int scancode) const;
    void open_display();
    void attach_surface();
    void apply_cursor_visibility();
    // On X11, follows the main screen from now on.
    void watch_main_screen();
    // Puts the window over the main screen as it is now.
    void cover_main_screen();
    // On X11, hears from now on of the server's screen saver, the monitor's power and the
    // window being covered.
    void watch_screen_saver();
    // Asks the server whether the monitor is on, when it is time to.
    void check_monitor();
    // A Seen event when whether the window can be seen changed since it was last told.
    std::optional<InputEvent> seen_change();
    // Reads the desktop's scale again (DesktopScale); true when it changed.
    bool update_scale();

    SDL_Window* m_window = nullptr;
    // Where the main screen is, and news of its changes; null where RandR cannot tell.
    std::unique_ptr<X11MainScreen> m_main_screen;
    uint32_t m_screen_changed = 0;
    bool m_has_window_manager = false;
    SDL_Surface* m_surface = nullptr;
    // The window's pixels are the device's; the program's are logical.
    Scale m_scale;
    // Used when the window surface is not 32-bit XRGB: drawn here, converted at present.
    std::unique_ptr<Image> m_shadow;
    SDL_Surface* m_shadow_surface = nullptr;
    // Reused by every present: a tick allocates nothing.
    std::vector<SDL_Rect> m_present_rects;
    SDL_Cursor* m_cursors[2] = {nullptr, nullptr};
    PointerVisibility m_pointer;
    // The event that wakes the loop when the output volume was changed elsewhere.
    uint32_t m_volume_event = 0;
    // The event that wakes the loop for a watched descriptor, named in its code; the watcher
    // posts it from its own thread.
    uint32_t m_source_event = 0;
    std::unique_ptr<FdWatcher> m_watcher;
    // Null where the display cannot tell; SDL's own hold on the screen's rest stands in.
    std::unique_ptr<X11ScreenSaver> m_saver;
    Micros m_next_monitor_check = 0;
    bool m_window_hidden = false; // unmapped or minimised
    bool m_told_seen = true;
};

} // namespace platform
