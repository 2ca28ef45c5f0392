#include "platform/wayland/WaylandBackend.h"

#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "fractional-scale-v1-client-protocol.h"
#include "platform/loop/Wakeup.h"
#include "platform/wayland/ShmSwapChain.h"
#include "platform/wayland/SignalPipe.h"
#include "platform/wayland/WaylandCursor.h"
#include "platform/wayland/XkbKeyboard.h"
#include "viewporter-client-protocol.h"
#include "xdg-activation-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>

namespace platform {

namespace {

// Screens are laid out for at least this much; used only when neither the compositor nor an
// output names a size.
constexpr int kFallbackWidth = 1024;
constexpr int kFallbackHeight = 768;
// How long the compositor may take to answer the window's first commit.
constexpr Micros kConfigureTimeout = 5'000'000;

// What libwayland last had to say. It would print it on stderr; the program says it in its own
// words instead, once, when it matters.
std::string g_library_message;

void keep_library_message(const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    g_library_message = text;
    while (!g_library_message.empty() && g_library_message.back() == '\n')
        g_library_message.pop_back();
}

// ": what libwayland said", or nothing.
std::string library_message() {
    return g_library_message.empty() ? "" : ": " + g_library_message;
}

template <class T>
T* bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered,
        uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

} // namespace

// Every event of the versions bound has a function here: the library calls what it is given,
// null included.
struct WaylandBackend::Listeners {
    static WaylandBackend& backend(void* data) { return *static_cast<WaylandBackend*>(data); }

    static constexpr wl_registry_listener registry = {
        .global = [](void* data, wl_registry* r, uint32_t name, const char* interface,
                     uint32_t version) { backend(data).global_added(r, name, interface, version); },
        .global_remove = [](void*, wl_registry*, uint32_t) {},
    };
    static constexpr xdg_wm_base_listener wm_base = {
        .ping = [](void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); },
    };
    static constexpr xdg_surface_listener surface = {
        .configure = [](void* data, xdg_surface*,
                        uint32_t serial) { backend(data).surface_configure(serial); },
    };
    static constexpr xdg_toplevel_listener toplevel = {
        .configure = [](void* data, xdg_toplevel*, int32_t width, int32_t height,
                        wl_array*) { backend(data).toplevel_configure(width, height); },
        .close = [](void* data, xdg_toplevel*) { backend(data).close_requested(); },
        .configure_bounds = [](void*, xdg_toplevel*, int32_t, int32_t) {},
        .wm_capabilities = [](void*, xdg_toplevel*, wl_array*) {},
    };
    static constexpr xdg_activation_token_v1_listener activation_token = {
        .done = [](void* data, xdg_activation_token_v1* request,
                   const char* token) { backend(data).activation_token_done(request, token); },
    };
    static constexpr wl_seat_listener seat = {
        .capabilities = [](void* data, wl_seat*,
                           uint32_t caps) { backend(data).seat_capabilities(caps); },
        .name = [](void*, wl_seat*, const char*) {},
    };
    static constexpr wl_output_listener output = {
        .geometry = [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                       const char*, int32_t) {},
        .mode = [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height,
                   int32_t) { backend(data).output_mode(flags, width, height); },
        .done = [](void*, wl_output*) {},
        .scale = [](void* data, wl_output*, int32_t factor) { backend(data).output_scale(factor); },
        .name = [](void*, wl_output*, const char*) {},
        .description = [](void*, wl_output*, const char*) {},
    };
    static constexpr wp_fractional_scale_v1_listener fractional = {
        .preferred_scale = [](void* data, wp_fractional_scale_v1*,
                              uint32_t scale) { backend(data).preferred_scale(scale); },
    };
    static constexpr wl_pointer_listener pointer = {
        .enter =
            [](void* data, wl_pointer*, uint32_t serial, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
                backend(data).pointer_entered(serial, wl_fixed_to_int(x), wl_fixed_to_int(y));
            },
        .leave = [](void* data, wl_pointer*, uint32_t,
                    wl_surface*) { backend(data).pointer_left(); },
        .motion =
            [](void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
                backend(data).pointer_moved(wl_fixed_to_int(x), wl_fixed_to_int(y));
            },
        .button =
            [](void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
                backend(data).pointer_button(button, state == WL_POINTER_BUTTON_STATE_PRESSED);
            },
        .axis = [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {},
        .frame = [](void*, wl_pointer*) {},
        .axis_source = [](void*, wl_pointer*, uint32_t) {},
        .axis_stop = [](void*, wl_pointer*, uint32_t, uint32_t) {},
        .axis_discrete = [](void*, wl_pointer*, uint32_t, int32_t) {},
        .axis_value120 = [](void*, wl_pointer*, uint32_t, int32_t) {},
    };
    static constexpr wl_keyboard_listener keyboard = {
        .keymap = [](void* data, wl_keyboard*, uint32_t format, int32_t fd,
                     uint32_t size) { backend(data).keymap_received(format, fd, size); },
        .enter = [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
        .leave = [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
        .key =
            [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
                if (state == WL_KEYBOARD_KEY_STATE_PRESSED)
                    backend(data).key_pressed(key);
            },
        .modifiers =
            [](void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
               uint32_t locked, uint32_t group) {
                backend(data).modifiers_changed(depressed, latched, locked, group);
            },
        .repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {},
    };
};

WaylandBackend::WaylandBackend() {
    try {
        open();
    } catch (...) {
        close();
        throw;
    }
}

WaylandBackend::~WaylandBackend() {
    close();
}

void WaylandBackend::open() {
    // Before the services: SDL, started for sound, leaves a handler it finds in place.
    m_signals = std::make_unique<SignalPipe>();
    m_volume_changed = std::make_unique<Wakeup>();
    m_keys = std::make_unique<XkbKeyboard>();
    wl_log_set_handler_client(keep_library_message);
    g_library_message.clear();
    m_display = wl_display_connect(nullptr);
    if (!m_display) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        throw BackendError(std::string("no compositor answers at ") + (name ? name : "wayland-0") +
                           library_message());
    }
    m_connected = true;
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &Listeners::registry, this);
    if (wl_display_roundtrip(m_display) < 0)
        throw BackendError("the compositor closed the connection at once");
    if (!m_compositor || !m_shm || !m_wm_base)
        throw BackendError(std::string("the compositor lacks ") + (!m_compositor ? "wl_compositor 4"
                                                                   : !m_shm      ? "wl_shm"
                                                                                 : "xdg_wm_base"));
    m_cursor = std::make_unique<WaylandCursor>(m_compositor, m_shm);
    // What the globals announce of themselves: seat capabilities, output modes.
    if (wl_display_roundtrip(m_display) < 0)
        throw BackendError("the compositor closed the connection at once");

    m_surface = wl_compositor_create_surface(m_compositor);
    if (m_viewporter && m_fractional_manager) {
        m_viewport = wp_viewporter_get_viewport(m_viewporter, m_surface);
        m_fractional =
            wp_fractional_scale_manager_v1_get_fractional_scale(m_fractional_manager, m_surface);
        wp_fractional_scale_v1_add_listener(m_fractional, &Listeners::fractional, this);
    }
    m_xdg_surface = xdg_wm_base_get_xdg_surface(m_wm_base, m_surface);
    xdg_surface_add_listener(m_xdg_surface, &Listeners::surface, this);
    m_toplevel = xdg_surface_get_toplevel(m_xdg_surface);
    xdg_toplevel_add_listener(m_toplevel, &Listeners::toplevel, this);
    xdg_toplevel_set_title(m_toplevel, "Quorvane");
    xdg_toplevel_set_app_id(m_toplevel, "quorvane");
    xdg_toplevel_set_fullscreen(m_toplevel, nullptr);
    wl_surface_commit(m_surface);
    wait_for_configure();
    // The configure's answer goes out now, not with the first picture.
    wl_display_flush(m_display);
    start_services([wakeup = m_volume_changed.get()] { wakeup->wake(); });
}

void WaylandBackend::close() {
    stop_services();
    release_devices(0);
    m_chain.reset();
    m_cursor.reset();
    m_keys.reset();
    if (m_toplevel)
        xdg_toplevel_destroy(m_toplevel);
    if (m_xdg_surface)
        xdg_surface_destroy(m_xdg_surface);
    if (m_fractional)
        wp_fractional_scale_v1_destroy(m_fractional);
    if (m_viewport)
        wp_viewport_destroy(m_viewport);
    if (m_surface)
        wl_surface_destroy(m_surface);
    if (m_fractional_manager)
        wp_fractional_scale_manager_v1_destroy(m_fractional_manager);
    if (m_viewporter)
        wp_viewporter_destroy(m_viewporter);
    for (xdg_activation_token_v1* request : m_token_requests)
        xdg_activation_token_v1_destroy(request);
    m_token_requests.clear();
    if (m_inhibitor)
        zwp_idle_inhibitor_v1_destroy(m_inhibitor);
    m_inhibitor = nullptr;
    if (m_idle_inhibit)
        zwp_idle_inhibit_manager_v1_destroy(m_idle_inhibit);
    if (m_activation)
        xdg_activation_v1_destroy(m_activation);
    if (m_output)
        wl_output_destroy(m_output);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_wm_base)
        xdg_wm_base_destroy(m_wm_base);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_compositor)
        wl_compositor_destroy(m_compositor);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display) {
        wl_display_flush(m_display);
        wl_display_disconnect(m_display);
    }
    m_signals.reset();
    m_volume_changed.reset();
}

void WaylandBackend::global_added(wl_registry* registry, uint32_t name, const char* interface,
                                  uint32_t version) {
    std::string_view what = interface;
    if (what == wl_compositor_interface.name && version >= 4 && !m_compositor) {
        m_compositor = bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
    } else if (what == wl_shm_interface.name && !m_shm) {
        m_shm = bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    } else if (what == xdg_wm_base_interface.name && !m_wm_base) {
        m_wm_base = bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 1);
        xdg_wm_base_add_listener(m_wm_base, &Listeners::wm_base, this);
    } else if (what == wl_seat_interface.name && !m_seat) {
        // The first seat; version 3 has the release requests.
        m_seat = bind<wl_seat>(registry, name, &wl_seat_interface, version, 3);
        wl_seat_add_listener(m_seat, &Listeners::seat, this);
    } else if (what == xdg_activation_v1_interface.name && !m_activation) {
        m_activation =
            bind<xdg_activation_v1>(registry, name, &xdg_activation_v1_interface, version, 1);
    } else if (what == zwp_idle_inhibit_manager_v1_interface.name && !m_idle_inhibit) {
        m_idle_inhibit = bind<zwp_idle_inhibit_manager_v1>(
            registry, name, &zwp_idle_inhibit_manager_v1_interface, version, 1);
    } else if (what == wp_viewporter_interface.name && !m_viewporter) {
        m_viewporter = bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
    } else if (what == wp_fractional_scale_manager_v1_interface.name && !m_fractional_manager) {
        m_fractional_manager = bind<wp_fractional_scale_manager_v1>(
            registry, name, &wp_fractional_scale_manager_v1_interface, version, 1);
    } else if (what == wl_output_interface.name && !m_output) {
        m_output = bind<wl_output>(registry, name, &wl_output_interface, version, 2);
        wl_output_add_listener(m_output, &Listeners::output, this);
    }
}

void WaylandBackend::seat_capabilities(uint32_t capabilities) {
    bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    release_devices(capabilities);
    if (pointer && !m_pointer) {
        m_pointer = wl_seat_get_pointer(m_seat);
        wl_pointer_add_listener(m_pointer, &Listeners::pointer, this);
    }
    if (keyboard && !m_keyboard) {
        m_keyboard = wl_seat_get_keyboard(m_seat);
        wl_keyboard_add_listener(m_keyboard, &Listeners::keyboard, this);
    }
}

void WaylandBackend::release_devices(uint32_t kept) {
    // Seats before version 3 have no release request; their devices can only be forgotten.
    bool can_release = m_seat && wl_seat_get_version(m_seat) >= 3;
    if (m_pointer && !(kept & WL_SEAT_CAPABILITY_POINTER)) {
        if (m_cursor)
            m_cursor->pointer_left();
        can_release ? wl_pointer_release(m_pointer) : wl_pointer_destroy(m_pointer);
        m_pointer = nullptr;
    }
    if (m_keyboard && !(kept & WL_SEAT_CAPABILITY_KEYBOARD)) {
        can_release ? wl_keyboard_release(m_keyboard) : wl_keyboard_destroy(m_keyboard);
        m_keyboard = nullptr;
    }
}

void WaylandBackend::output_mode(uint32_t flags, int32_t width, int32_t height) {
    if (!(flags & WL_OUTPUT_MODE_CURRENT))
        return;
    m_mode_width = width;
    m_mode_height = height;
    // A window the compositor leaves to size itself follows the output.
    if (m_chain && m_sized_by_mode)
        apply_mode_size();
}

void WaylandBackend::apply_mode_size() {
    // The mode is in the output's pixels; the window is sized in logical ones.
    Rect logical = m_scale.to_logical_covering({0, 0, m_mode_width, m_mode_height});
    apply_size(logical.w, logical.h);
}

void WaylandBackend::output_scale(int32_t factor) {
    // The fractional scale, once the compositor gives one, is the finer word.
    if (!m_has_preferred_scale)
        scale_changed(Scale::from_120ths(120 * factor));
}

void WaylandBackend::preferred_scale(uint32_t in_120ths) {
    m_has_preferred_scale = true;
    scale_changed(Scale::from_120ths(static_cast<int>(in_120ths)));
}

void WaylandBackend::scale_changed(Scale scale) {
    if (scale == m_scale)
        return;
    m_scale = scale;
    if (!m_chain)
        return;
    if (m_sized_by_mode)
        apply_mode_size();
    else
        apply_size(m_logical_width, m_logical_height);
}

void WaylandBackend::toplevel_configure(int32_t width, int32_t height) {
    m_asked_width = width;
    m_asked_height = height;
}

void WaylandBackend::surface_configure(uint32_t serial) {
    xdg_surface_ack_configure(m_xdg_surface, serial);
    m_sized_by_mode = m_asked_width <= 0 || m_asked_height <= 0;
    if (!m_sized_by_mode)
        apply_size(m_asked_width, m_asked_height);
    else if (m_mode_width > 0 && m_mode_height > 0)
        apply_mode_size();
    else if (!m_chain)
        apply_size(kFallbackWidth, kFallbackHeight);
}

void WaylandBackend::apply_size(int width, int height) {
    // Called from listeners, where a failure must not unwind through libwayland: it is kept
    // for the pump to report.
    try {
        const bool rescaled = !(m_scale == m_buffer_scale);
        const bool first = !m_chain;
        if (!first && !rescaled && width == m_logical_width && height == m_logical_height)
            return;
        // Shown at the logical size: through the viewport the buffer may be any size, else it
        // is a whole multiple of it.
        if (m_viewport)
            wp_viewport_set_destination(m_viewport, width, height);
        else
            wl_surface_set_buffer_scale(m_surface, m_scale.in_120ths() / 120);
        m_logical_width = width;
        m_logical_height = height;
        m_buffer_scale = m_scale;
        const int device_width = m_scale.to_device(width),
                  device_height = m_scale.to_device(height);
        if (first) {
            m_chain = std::make_unique<ShmSwapChain>(m_display, m_shm, m_surface, device_width,
                                                     device_height);
            return;
        }
        // At a new scale alone the size may stay: the whole screen goes out again anyway.
        m_chain->resize(device_width, device_height);
        m_events.push_back(InputEvent(InputEvent::Type::ScreenResized));
    } catch (const BackendError& e) {
        m_size_failure = e.what();
    }
}

void WaylandBackend::wait_for_configure() {
    Micros end = now() + kConfigureTimeout;
    while (!m_chain) {
        if (m_size_failure)
            throw BackendError(*m_size_failure);
        if (!m_connected)
            throw BackendError("the compositor closed the connection");
        Micros left = end - now();
        if (left <= 0)
            throw BackendError("the compositor did not answer the window");
        pump(left);
    }
    // The quit request of a signal during start-up stays queued; nothing else is news yet.
    std::erase_if(m_events,
                  [](const InputEvent& e) { return e.type != InputEvent::Type::QuitRequest; });
}

void WaylandBackend::close_requested() {
    m_events.push_back(InputEvent(InputEvent::Type::QuitRequest));
}

void WaylandBackend::pointer_entered(uint32_t serial, int x, int y) {
    m_cursor->pointer_entered(m_pointer, serial);
    pointer_moved(x, y);
}

void WaylandBackend::pointer_left() {
    m_cursor->pointer_left();
}

void WaylandBackend::pointer_moved(int x, int y) {
    m_cursor->pointer_moved();
    m_pointer_x = x;
    m_pointer_y = y;
    m_events.push_back(InputEvent(InputEvent::Type::PointerMove, x, y));
}

void WaylandBackend::pointer_button(uint32_t button, bool pressed) {
    // One button, as the program was made for.
    if (button != BTN_LEFT)
        return;
    m_events.push_back(
        InputEvent(pressed ? InputEvent::Type::PointerDown : InputEvent::Type::PointerUp,
                   m_pointer_x, m_pointer_y));
}

void WaylandBackend::keymap_received(uint32_t format, int fd, uint32_t size) {
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            m_keys->set_keymap(static_cast<const char*>(text));
            munmap(text, size);
        }
    }
    ::close(fd);
}

void WaylandBackend::key_pressed(uint32_t key) {
    if (std::optional<InputEvent> event = m_keys->key_pressed(key))
        m_events.push_back(*event);
}

void WaylandBackend::modifiers_changed(uint32_t depressed, uint32_t latched, uint32_t locked,
                                       uint32_t group) {
    m_keys->set_modifiers(depressed, latched, locked, group);
}

Micros WaylandBackend::now() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::optional<InputEvent> WaylandBackend::take() {
    if (m_events.empty())
        return std::nullopt;
    InputEvent e = m_events.front();
    m_events.pop_front();
    return e;
}

std::optional<InputEvent> WaylandBackend::wait_for(std::optional<Micros> timeout) {
    if (m_events.empty()) {
        // Wakes when a frame held back makes the window unseen.
        std::optional<Micros> since = m_chain ? m_chain->frame_pending_since() : std::nullopt;
        if (m_told_seen && since) {
            Micros until_unseen = std::max<Micros>(0, *since + kUnseenAfter - now());
            timeout = timeout ? std::min(*timeout, until_unseen) : until_unseen;
        }
        pump(timeout);
    }
    return take();
}

std::optional<InputEvent> WaylandBackend::poll_event() {
    if (m_events.empty())
        pump(0);
    return take();
}

void WaylandBackend::pump(std::optional<Micros> timeout) {
    // The signals, the volume's news and the display, then the watched descriptors; kept from
    // pump to pump, so that waiting allocates nothing.
    std::vector<pollfd>& fds = m_poll;
    fds.assign({{m_signals->fd(), POLLIN, 0}, {m_volume_changed->fd(), POLLIN, 0}, {-1, 0, 0}});
    for (const pollfd& w : m_watched)
        if (w.events)
            fds.push_back(w);
    bool reading = false;
    if (m_connected) {
        while (wl_display_prepare_read(m_display) != 0)
            if (wl_display_dispatch_pending(m_display) < 0)
                return connection_lost();
        reading = true;
        fds[2].fd = wl_display_get_fd(m_display);
        fds[2].events = POLLIN;
        if (wl_display_flush(m_display) < 0) {
            // A full socket takes the rest when it drains; anything else is a lost connection.
            if (errno != EAGAIN) {
                wl_display_cancel_read(m_display);
                return connection_lost();
            }
            fds[2].events |= POLLOUT;
        }
    }
    // ppoll sleeps to the microsecond, so timers keep their beat.
    timespec wait{};
    if (timeout) {
        Micros t = std::max<Micros>(*timeout, 0);
        wait.tv_sec = t / 1'000'000;
        wait.tv_nsec = (t % 1'000'000) * 1000;
    }
    // A negative descriptor is skipped: the display's place stays while it is not read.
    int ready = ppoll(fds.data(), fds.size(), timeout ? &wait : nullptr, nullptr);
    if (reading) {
        if (ready > 0 && (fds[2].revents & (POLLIN | POLLERR | POLLHUP))) {
            if (wl_display_read_events(m_display) < 0)
                return connection_lost();
        } else {
            wl_display_cancel_read(m_display);
        }
        if (wl_display_dispatch_pending(m_display) < 0 ||
            (m_chain && !m_chain->dispatch_releases(0)))
            return connection_lost();
    }
    if (ready > 0 && (fds[0].revents & POLLIN) && m_signals->take())
        m_events.push_back(InputEvent(InputEvent::Type::QuitRequest));
    if (ready > 0 && (fds[1].revents & POLLIN) && m_volume_changed->take())
        m_events.push_back(InputEvent(InputEvent::Type::OutputVolumeChanged));
    for (size_t i = 3; ready > 0 && i < fds.size(); ++i) {
        if (!fds[i].revents)
            continue;
        watch(fds[i].fd, 0);
        m_events.push_back(InputEvent(InputEvent::Type::SourceReady, fds[i].fd));
    }
    if (m_size_failure && m_chain) {
        // The buffers of the old size are still whole; the compositor shows them as they are.
        std::cerr << "quorvane: the screen keeps its size: " << *m_size_failure << std::endl;
        m_size_failure.reset();
    }
    follow_frames();
}

void WaylandBackend::follow_frames() {
    if (!m_chain)
        return;
    // A compositor sends a frame when it shows the window's last commit: it holds it back while
    // the window is hidden (another workspace, minimised, the screen locked or off). While
    // unseen nothing more is committed, so the frame pending then stays pending until it comes.
    if (m_told_seen) {
        std::optional<Micros> since = m_chain->frame_pending_since();
        if (!since || now() - *since < kUnseenAfter)
            return;
        m_told_seen = false;
        m_frames_when_unseen = m_chain->frames_shown();
    } else {
        if (m_chain->frames_shown() == m_frames_when_unseen)
            return;
        m_told_seen = true;
    }
    m_events.push_back(InputEvent(InputEvent::Type::Seen, m_told_seen ? 1 : 0));
}

void WaylandBackend::connection_lost() {
    if (!m_connected)
        return;
    m_connected = false;
    int error = wl_display_get_error(m_display);
    std::cerr << "quorvane: the display connection closed: "
              << (error == EPROTO && !g_library_message.empty()
                      ? g_library_message
                      : std::strerror(error ? error : EPIPE))
              << std::endl;
    m_events.push_back(InputEvent(InputEvent::Type::QuitRequest));
}

Surface WaylandBackend::screen() {
    Surface s = m_chain->screen();
    s.scale = m_buffer_scale;
    return s;
}

void WaylandBackend::present(const Region& region) {
    if (m_connected)
        m_chain->present(region);
}

void WaylandBackend::set_cursor_shape(CursorShape shape) {
    m_cursor->set_shape(shape);
}

void WaylandBackend::set_cursor_visible(bool visible) {
    m_cursor->set_visible(visible);
}

void WaylandBackend::obscure_cursor() {
    m_cursor->obscure();
}

// Wayland lets a window come forward only with a token the compositor handed out for a user's
// action: the launcher's, passed on by a later start, or else one asked for now, which a
// compositor grants or answers with a mere notice as it sees fit. Without the protocol the
// compositor keeps its own order.
void WaylandBackend::raise(const std::string& token) {
    if (!m_activation || !m_connected)
        return;
    if (!token.empty()) {
        xdg_activation_v1_activate(m_activation, token.c_str(), m_surface);
    } else {
        xdg_activation_token_v1* request = xdg_activation_v1_get_activation_token(m_activation);
        xdg_activation_token_v1_add_listener(request, &Listeners::activation_token, this);
        xdg_activation_token_v1_set_surface(request, m_surface);
        xdg_activation_token_v1_commit(request);
        m_token_requests.push_back(request);
    }
    wl_display_flush(m_display);
}

void WaylandBackend::activation_token_done(xdg_activation_token_v1* request, const char* token) {
    xdg_activation_v1_activate(m_activation, token, m_surface);
    std::erase(m_token_requests, request);
    xdg_activation_token_v1_destroy(request);
}

// The compositor lets the screen blank and lock by its idle settings as soon as the inhibitor
// is gone; it ignores one on a surface it does not show.
void WaylandBackend::hold_screen(bool held) {
    if (!m_idle_inhibit || !m_connected || held == (m_inhibitor != nullptr))
        return;
    if (held) {
        m_inhibitor = zwp_idle_inhibit_manager_v1_create_inhibitor(m_idle_inhibit, m_surface);
    } else {
        zwp_idle_inhibitor_v1_destroy(m_inhibitor);
        m_inhibitor = nullptr;
    }
    wl_display_flush(m_display);
}

void WaylandBackend::watch(int fd, short events) {
    auto it = std::find_if(m_watched.begin(), m_watched.end(),
                           [fd](const pollfd& w) { return w.fd == fd; });
    if (it == m_watched.end())
        m_watched.push_back({fd, events, 0});
    else if (events)
        it->events = events;
    else
        m_watched.erase(it);
}

} // namespace platform
