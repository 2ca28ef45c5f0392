#pragma once

#include "platform/Backend.h"
#include "platform/graphics/Image.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Surface;
struct SDL_Cursor;
struct SDL_Rect;

namespace platform {

class ReconnectingAudioDevice;

// Raised when the backend cannot start: no display, no window.
class BackendError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The real desktop through SDL2: one borderless full-screen window at the desktop's size whose
// surface is the screen buffer, presented in parts; input; pointer shapes; sound; the output
// volume; web addresses.
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
    void open_sound();
    void attach_surface();
    void apply_cursor_visibility();

    SDL_Window* m_window = nullptr;
    SDL_Surface* m_surface = nullptr;
    // Used when the window surface is not 32-bit XRGB: drawn here, converted at present.
    std::unique_ptr<Image> m_shadow;
    SDL_Surface* m_shadow_surface = nullptr;
    // Reused by every present: a tick allocates nothing.
    std::vector<SDL_Rect> m_present_rects;
    SDL_Cursor* m_cursors[2] = {nullptr, nullptr};
    bool m_cursor_visible = true;
    bool m_cursor_obscured = false;
    std::unique_ptr<ReconnectingAudioDevice> m_audio;
    std::unique_ptr<OutputVolume> m_volume;
    // The event that wakes the loop when the output volume was changed elsewhere.
    uint32_t m_volume_event = 0;
    std::unique_ptr<TextRenderer> m_text;
};

} // namespace platform
