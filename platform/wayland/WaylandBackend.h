#pragma once

#include "platform/base/BackendError.h"
#include "platform/native/DesktopBackend.h"

#include <poll.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct wl_compositor;
struct wl_display;
struct wl_keyboard;
struct wl_output;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct xdg_activation_token_v1;
struct xdg_activation_v1;
struct xdg_surface;
struct xdg_toplevel;
struct xdg_wm_base;
struct zwp_idle_inhibit_manager_v1;
struct zwp_idle_inhibitor_v1;
struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;
struct wp_viewport;
struct wp_viewporter;

namespace platform {

class ShmSwapChain;
class SignalPipe;
class Wakeup;
class WaylandCursor;
class XkbKeyboard;

// A Wayland desktop, spoken to directly: one full-screen xdg toplevel whose shared-memory
// buffers are the screen, presented in parts at the compositor's frame rate, at the device's
// pixels: the output's scale (a buffer scale), or the fractional scale the compositor prefers
// where it offers one and a viewport to show the buffer at the logical size; the pointer and
// the keyboard of the first seat, if there is one; the close request and SIGINT/SIGTERM as
// quit requests; the screen's rest held off on request; the window unseen while the compositor
// holds its frames back; the desktop's services as on X11.
class WaylandBackend : public DesktopBackend {
public:
    // Connects to the compositor of WAYLAND_DISPLAY and waits for its first configure, so that
    // the screen's size is known; raises BackendError with the reason when it cannot.
    WaylandBackend();
    ~WaylandBackend() override;
    WaylandBackend(const WaylandBackend&) = delete;
    WaylandBackend& operator=(const WaylandBackend&) = delete;

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

    // A frame the compositor holds back longer than this is not shown: the window is unseen
    // until it comes.
    static constexpr Micros kUnseenAfter = 2'000'000;

private:
    // The compositor's listeners, which call the handlers below.
    struct Listeners;

    void global_added(wl_registry* registry, uint32_t name, const char* interface,
                      uint32_t version);
    void seat_capabilities(uint32_t capabilities);
    void output_mode(uint32_t flags, int32_t width, int32_t height);
    void output_scale(int32_t factor);
    void preferred_scale(uint32_t in_120ths);
    // The device's pixels take another scale: the buffers follow, and the loop hears of a
    // screen change.
    void scale_changed(Scale scale);
    void toplevel_configure(int32_t width, int32_t height);
    void surface_configure(uint32_t serial);
    void close_requested();
    void activation_token_done(xdg_activation_token_v1* request, const char* token);
    void pointer_entered(uint32_t serial, int x, int y);
    void pointer_left();
    void pointer_moved(int x, int y);
    void pointer_button(uint32_t button, bool pressed);
    void keymap_received(uint32_t format, int fd, uint32_t size);
    void key_pressed(uint32_t key);
    void modifiers_changed(uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group);
    // Lets go of the pointer and keyboard unless kept names them.
    void release_devices(uint32_t kept);

    std::optional<InputEvent> wait_for(std::optional<Micros> timeout) override;
    void open();
    void close();
    void wait_for_configure();
    // Waits up to timeout (forever without one) for the display or a signal and handles what
    // came.
    void pump(std::optional<Micros> timeout);
    void connection_lost();
    // Sizes the buffers for a window of width x height logical pixels at the scale.
    void apply_size(int width, int height);
    // Tells whether the window is seen, as the compositor's frames say, when that changed.
    void follow_frames();
    void apply_mode_size();
    std::optional<InputEvent> take();

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_compositor* m_compositor = nullptr;
    wl_shm* m_shm = nullptr;
    xdg_wm_base* m_wm_base = nullptr;
    wl_seat* m_seat = nullptr;
    wl_output* m_output = nullptr;
    wp_viewporter* m_viewporter = nullptr;
    wp_fractional_scale_manager_v1* m_fractional_manager = nullptr;
    // Both only where the compositor offers both protocols.
    wp_viewport* m_viewport = nullptr;
    wp_fractional_scale_v1* m_fractional = nullptr;
    // The scale the compositor asks for, and the one the buffers are made at.
    Scale m_scale;
    Scale m_buffer_scale;
    bool m_has_preferred_scale = false;
    // The logical size the buffers were last made for.
    int m_logical_width = 0;
    int m_logical_height = 0;
    // Where the compositor offers it: bringing the window forward.
    xdg_activation_v1* m_activation = nullptr;
    std::vector<xdg_activation_token_v1*> m_token_requests;
    // Where the compositor offers it: holding the screen's rest off while the window is shown.
    zwp_idle_inhibit_manager_v1* m_idle_inhibit = nullptr;
    zwp_idle_inhibitor_v1* m_inhibitor = nullptr;
    bool m_told_seen = true;
    uint64_t m_frames_when_unseen = 0;
    wl_surface* m_surface = nullptr;
    xdg_surface* m_xdg_surface = nullptr;
    xdg_toplevel* m_toplevel = nullptr;
    wl_pointer* m_pointer = nullptr;
    wl_keyboard* m_keyboard = nullptr;
    std::unique_ptr<SignalPipe> m_signals;
    std::unique_ptr<Wakeup> m_volume_changed;
    std::unique_ptr<ShmSwapChain> m_chain;
    std::unique_ptr<WaylandCursor> m_cursor;
    std::unique_ptr<XkbKeyboard> m_keys;
    std::deque<InputEvent> m_events;
    // Descriptors watched for the loop, and the list each wait polls.
    std::vector<pollfd> m_watched;
    std::vector<pollfd> m_poll;
    bool m_connected = false;
    // The size the last toplevel configure asked for, 0 where the window may choose.
    int m_asked_width = 0;
    int m_asked_height = 0;
    // Why the screen could not take the size the compositor gave it.
    std::optional<std::string> m_size_failure;
    // The output's current mode, taken when the compositor leaves the size to the window.
    int m_mode_width = 0;
    int m_mode_height = 0;
    bool m_sized_by_mode = false;
    int m_pointer_x = 0;
    int m_pointer_y = 0;
};

} // namespace platform
