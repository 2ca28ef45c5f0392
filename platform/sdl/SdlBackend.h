#pragma once

#include "platform/Backend.h"
#include "platform/BackendError.h"
#include "platform/graphics/Image.h"
#include "platform/sdl/DesktopServices.h"
#include "platform/sdl/X11MainScreen.h"

#include <memory>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Surface;
struct SDL_Cursor;
struct SDL_Rect;

namespace platform {

// An X11 desktop through SDL2: one borderless full-screen window at the desktop's size whose
// surface is the screen buffer, presented in parts; input; pointer shapes; the desktop's
// services.
class SdlBackend : public Backend {
public:
    // Opens the display and the window; raises BackendError with the reason when it cannot.
    SdlBackend();
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    Micros now() override;
    std::optional<InputEvent> wait_event(std::optional<Micros> deadline) override;
    std::optional<InputEvent> poll_event() override;

    Surface screen() override;
    void present(const Region& region) override;

    void set_cursor_shape(CursorShape shape) override;
    void set_cursor_visible(bool visible) override;
    void obscure_cursor() override;

    void open_url(const std::string& url) override;
    AudioDevice& audio() override;
    OutputVolume& output_volume() override;
    TextRenderer& text() override;
    uint64_t random_seed() override;
    // A second interrupt or termination request during shutdown ends the process at once.
    void loop_ended() override;

private:
    std::optional<InputEvent> translate(const void* sdl_event);
    void open_display();
    void attach_surface();
    void apply_cursor_visibility();
    // On X11, follows the main screen from now on.
    void watch_main_screen();
    // Puts the window over the main screen as it is now.
    void cover_main_screen();

    SDL_Window* m_window = nullptr;
    // On X11: where the main screen is, and news of its changes. Null elsewhere.
    std::unique_ptr<X11MainScreen> m_main_screen;
    uint32_t m_screen_changed = 0;
    bool m_has_window_manager = false;
    SDL_Surface* m_surface = nullptr;
    // Used when the window surface is not 32-bit XRGB: drawn here, converted at present.
    std::unique_ptr<Image> m_shadow;
    SDL_Surface* m_shadow_surface = nullptr;
    // Reused by every present: a tick allocates nothing.
    std::vector<SDL_Rect> m_present_rects;
    SDL_Cursor* m_cursors[2] = {nullptr, nullptr};
    bool m_cursor_visible = true;
    bool m_cursor_obscured = false;
    std::unique_ptr<DesktopServices> m_services;
};

} // namespace platform
