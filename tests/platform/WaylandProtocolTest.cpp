// The Wayland backend against a small compositor of the test's own, which does what weston
// cannot be made to: leave the size to the window, change it, hold frame callbacks, keep every
// buffer it was shown until the next commit replaces it and check that nothing was written into
// it meanwhile, ask the window to close, drop the connection, keep count of the holds on the
// screen's rest, and announce a fractional scale.
#include "fractional-scale-v1-server-protocol.h"
#include "idle-inhibit-unstable-v1-server-protocol.h"
#include "platform/graphics/PixelOps.h"
#include "platform/wayland/WaylandBackend.h"
#include "viewporter-server-protocol.h"
#include "xdg-activation-v1-server-protocol.h"
#include "xdg-shell-server-protocol.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-server.h>
#include <xkbcommon/xkbcommon.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

namespace {

using platform::InputEvent;
using platform::Rect;
using platform::Region;

// A compositor on a thread of its own, with one output, and a seat with a keyboard only when
// asked for. The test changes and reads it through run(), which does the work on that thread.
class FakeCompositor {
public:
    struct Commit {
        int width = 0, height = 0;
        // The buffer scale, and the viewport's destination (-1 unset), in force with it.
        int buffer_scale = 1;
        int destination_width = -1, destination_height = -1;
        std::vector<Rect> damage;
        std::vector<uint32_t> pixels;
        uint32_t at(int x, int y) const {
            return pixels[static_cast<size_t>(y) * width + x] | 0xFF000000u;
        }
    };

    // What the compositor does; set through run(), before the client connects or later.
    int output_width = 1024, output_height = 768;
    int output_scale = 1;
    int configure_width = 0, configure_height = 0;
    bool hold_frames = false;
    // What it saw.
    std::vector<Commit> commits;
    std::set<wl_resource*> buffers_seen;
    int writes_into_held_buffers = 0;
    int acked_serial = 0;
    // Each activation asked for: the token, and whether it named the program's window.
    std::vector<std::pair<std::string, bool>> activations;
    // The holds on the screen's rest made, those made on the program's window, those alive.
    int inhibitors_made = 0, inhibitors_on_window = 0, inhibitors = 0;

    FakeCompositor() {
        m_dir =
            std::filesystem::temp_directory_path() / ("quorvane-wl-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
        // The client connects to the newest compositor.
        static int count = 0;
        std::string socket = "fake-" + std::to_string(++count);
        setenv("WAYLAND_DISPLAY", socket.c_str(), 1);
        m_display = wl_display_create();
        wl_display_add_socket(m_display, socket.c_str());
        wl_display_init_shm(m_display);
        wl_global_create(m_display, &wl_compositor_interface, 4, this, bind_compositor);
        wl_global_create(m_display, &xdg_wm_base_interface, 1, this, bind_wm_base);
        wl_global_create(m_display, &wl_output_interface, 2, this, bind_output);
        m_wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        m_wake_source = wl_event_loop_add_fd(wl_display_get_event_loop(m_display), m_wake,
                                             WL_EVENT_READABLE, run_tasks, this);
        m_thread = std::thread([this] {
            while (!m_stop) {
                wl_event_loop_dispatch(wl_display_get_event_loop(m_display), 20);
                wl_display_flush_clients(m_display);
            }
        });
    }

    ~FakeCompositor() {
        run([this] { m_stop = true; });
        m_thread.join();
        wl_event_source_remove(m_wake_source);
        wl_display_destroy_clients(m_display);
        wl_display_destroy(m_display);
        close(m_wake);
        std::filesystem::remove_all(m_dir);
    }

    template <class F>
    auto run(F f) -> decltype(f()) {
        std::packaged_task<decltype(f())()> task(std::move(f));
        auto result = task.get_future();
        {
            std::lock_guard lock(m_mutex);
            m_tasks.emplace_back([&task] { task(); });
        }
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(m_wake, &one, sizeof one);
        return result.get();
    }

    void configure(int width, int height) {
        run([=, this] {
            configure_width = width;
            configure_height = height;
            send_configure();
        });
    }
    void release_frames() {
        run([this] {
            for (wl_resource* frame : m_frames)
                done(frame);
            m_frames.clear();
        });
    }
    void ask_to_close() {
        run([this] { xdg_toplevel_send_close(m_toplevel); });
    }
    // A seat whose keyboard has the keymap of an XKB layout ("us", "de"); before the client
    // connects.
    void add_keyboard(const char* layout) {
        run([=, this] {
            xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
            xkb_rule_names names{nullptr, nullptr, layout, nullptr, nullptr};
            xkb_keymap* keymap =
                xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
            char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
            m_keymap = text;
            m_ctrl = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CTRL);
            m_shift = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
            std::free(text);
            xkb_keymap_unref(keymap);
            xkb_context_unref(context);
            wl_global_create(m_display, &wl_seat_interface, 3, this, bind_seat);
        });
    }
    // Offers bringing windows forward; a token asked for is granted as "granted-N". Before the
    // client connects.
    void add_activation() {
        run([this] {
            wl_global_create(m_display, &xdg_activation_v1_interface, 1, this, bind_activation);
        });
    }
    // Offers holding the screen's rest off. Before the client connects.
    void add_idle_inhibit() {
        run([this] {
            wl_global_create(m_display, &zwp_idle_inhibit_manager_v1_interface, 1, this,
                             bind_idle_inhibit);
        });
    }
    // Offers a viewport and tells the window its preferred fractional scale, in 120ths, as soon
    // as it asks; set later, it is told again. Before the client connects.
    void add_fractional_scale(uint32_t in_120ths) {
        run([=, this] {
            m_preferred_scale = in_120ths;
            wl_global_create(m_display, &wp_viewporter_interface, 1, this, bind_viewporter);
            wl_global_create(m_display, &wp_fractional_scale_manager_v1_interface, 1, this,
                             bind_fractional_manager);
        });
    }
    void prefer_scale(uint32_t in_120ths) {
        run([=, this] {
            m_preferred_scale = in_120ths;
            wp_fractional_scale_v1_send_preferred_scale(m_fractional, in_120ths);
        });
    }
    enum Modifiers { kNone = 0, kCtrl = 1, kShift = 2 };
    // Presses and lets go of a key (an evdev code) with the modifiers held.
    void press(uint32_t key, int modifiers = kNone) {
        run([=, this] {
            uint32_t mask = (modifiers & kCtrl ? m_ctrl : 0) | (modifiers & kShift ? m_shift : 0);
            wl_keyboard_send_modifiers(m_keyboard, ++m_serial, mask, 0, 0, 0);
            wl_keyboard_send_key(m_keyboard, ++m_serial, 0, key, WL_KEYBOARD_KEY_STATE_PRESSED);
            wl_keyboard_send_key(m_keyboard, ++m_serial, 0, key, WL_KEYBOARD_KEY_STATE_RELEASED);
            wl_keyboard_send_modifiers(m_keyboard, ++m_serial, 0, 0, 0, 0);
        });
    }
    void drop_client() {
        run([this] { wl_client_destroy(wl_resource_get_client(m_surface)); });
    }
    std::vector<Commit> seen() {
        return run([this] { return commits; });
    }

private:
    static FakeCompositor& self(wl_resource* r) {
        return *static_cast<FakeCompositor*>(wl_resource_get_user_data(r));
    }
    static void destroy(wl_client*, wl_resource* r) { wl_resource_destroy(r); }

    static int run_tasks(int fd, uint32_t, void* data) {
        auto& c = *static_cast<FakeCompositor*>(data);
        uint64_t count;
        [[maybe_unused]] ssize_t n = read(fd, &count, sizeof count);
        std::vector<std::function<void()>> tasks;
        {
            std::lock_guard lock(c.m_mutex);
            tasks.swap(c.m_tasks);
        }
        for (auto& t : tasks)
            t();
        wl_display_flush_clients(c.m_display);
        return 0;
    }

    static void bind_compositor(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct wl_region_interface region = {
            .destroy = destroy,
            .add = [](wl_client*, wl_resource*, int32_t, int32_t, int32_t, int32_t) {},
            .subtract = [](wl_client*, wl_resource*, int32_t, int32_t, int32_t, int32_t) {},
        };
        static const struct wl_compositor_interface compositor = {
            .create_surface =
                [](wl_client* c, wl_resource* r, uint32_t id) {
                    wl_resource* s = wl_resource_create(c, &wl_surface_interface,
                                                        wl_resource_get_version(r), id);
                    wl_resource_set_implementation(s, &surface_requests, &self(r), nullptr);
                },
            .create_region =
                [](wl_client* c, wl_resource* r, uint32_t id) {
                    wl_resource* g =
                        wl_resource_create(c, &wl_region_interface, wl_resource_get_version(r), id);
                    wl_resource_set_implementation(g, &region, nullptr, nullptr);
                },
        };
        wl_resource* r = wl_resource_create(client, &wl_compositor_interface, version, id);
        wl_resource_set_implementation(r, &compositor, data, nullptr);
    }

    static const struct wl_surface_interface surface_requests;

    void attach(wl_resource* surface, wl_resource* buffer) {
        m_pending[surface].buffer = buffer;
        m_pending[surface].attached = true;
    }
    void commit(wl_resource* surface) {
        Pending p = m_pending[surface];
        m_pending[surface] = {};
        if (surface != m_surface) // the pointer's picture
            return;
        if (!m_configured_once) {
            m_configured_once = true;
            send_configure();
        }
        for (wl_resource* frame : p.frames)
            hold_frames ? m_frames.push_back(frame) : done(frame);
        if (!p.attached || !p.buffer)
            return;
        wl_shm_buffer* shm = wl_shm_buffer_get(p.buffer);
        Commit c;
        c.width = wl_shm_buffer_get_width(shm);
        c.height = wl_shm_buffer_get_height(shm);
        c.damage = p.damage;
        c.pixels = contents(shm);
        if (p.buffer_scale)
            m_buffer_scale = *p.buffer_scale;
        c.buffer_scale = m_buffer_scale;
        c.destination_width = m_destination.first;
        c.destination_height = m_destination.second;
        // The buffer shown before comes back now, as a compositor that reads it while showing
        // it gives it back; it must still hold what it held when it was committed.
        if (m_held && m_held != p.buffer) {
            if (contents(wl_shm_buffer_get(m_held)) != m_held_pixels)
                ++writes_into_held_buffers;
            wl_buffer_send_release(m_held);
        }
        if (m_held != p.buffer) {
            if (m_held)
                wl_list_remove(&m_held_gone.link);
            m_held = p.buffer;
            wl_resource_add_destroy_listener(m_held, &m_held_gone);
        }
        m_held_pixels = c.pixels;
        buffers_seen.insert(p.buffer);
        commits.push_back(std::move(c));
    }
    static std::vector<uint32_t> contents(wl_shm_buffer* shm) {
        wl_shm_buffer_begin_access(shm);
        auto* data = static_cast<const uint32_t*>(wl_shm_buffer_get_data(shm));
        std::vector<uint32_t> pixels(data,
                                     data + static_cast<size_t>(wl_shm_buffer_get_stride(shm)) / 4 *
                                                wl_shm_buffer_get_height(shm));
        wl_shm_buffer_end_access(shm);
        return pixels;
    }
    static void done(wl_resource* frame) {
        wl_callback_send_done(frame, 0);
        wl_resource_destroy(frame);
    }

    static void bind_wm_base(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct xdg_toplevel_interface toplevel = {
            .destroy = destroy,
            .set_title = [](wl_client*, wl_resource*, const char*) {},
            .set_app_id = [](wl_client*, wl_resource*, const char*) {},
            .set_fullscreen = [](wl_client*, wl_resource*, wl_resource*) {},
        };
        static const struct xdg_surface_interface surface = {
            .destroy = destroy,
            .get_toplevel =
                [](wl_client* c, wl_resource* r, uint32_t id) {
                    self(r).m_toplevel = wl_resource_create(c, &xdg_toplevel_interface, 1, id);
                    wl_resource_set_implementation(self(r).m_toplevel, &toplevel, &self(r),
                                                   nullptr);
                },
            .ack_configure =
                [](wl_client*, wl_resource* r, uint32_t serial) {
                    self(r).acked_serial = static_cast<int>(serial);
                },
        };
        static const struct xdg_wm_base_interface base = {
            .destroy = destroy,
            .get_xdg_surface =
                [](wl_client* c, wl_resource* r, uint32_t id, wl_resource* s) {
                    self(r).m_surface = s;
                    self(r).m_xdg_surface = wl_resource_create(c, &xdg_surface_interface, 1, id);
                    wl_resource_set_implementation(self(r).m_xdg_surface, &surface, &self(r),
                                                   nullptr);
                },
            .pong = [](wl_client*, wl_resource*, uint32_t) {},
        };
        wl_resource* r = wl_resource_create(client, &xdg_wm_base_interface, version, id);
        wl_resource_set_implementation(r, &base, data, nullptr);
    }

    void send_configure() {
        wl_array states;
        wl_array_init(&states);
        *static_cast<uint32_t*>(wl_array_add(&states, sizeof(uint32_t))) =
            XDG_TOPLEVEL_STATE_FULLSCREEN;
        xdg_toplevel_send_configure(m_toplevel, configure_width, configure_height, &states);
        wl_array_release(&states);
        xdg_surface_send_configure(m_xdg_surface, ++m_serial);
    }

    static void bind_seat(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct wl_keyboard_interface keyboard = {.release = destroy};
        static const struct wl_seat_interface seat = {
            .get_keyboard =
                [](wl_client* c, wl_resource* r, uint32_t id) {
                    FakeCompositor& f = self(r);
                    f.m_keyboard = wl_resource_create(c, &wl_keyboard_interface,
                                                      wl_resource_get_version(r), id);
                    wl_resource_set_implementation(f.m_keyboard, &keyboard, &f, nullptr);
                    int fd = memfd_create("keymap", MFD_CLOEXEC);
                    [[maybe_unused]] ssize_t n =
                        write(fd, f.m_keymap.c_str(), f.m_keymap.size() + 1);
                    wl_keyboard_send_keymap(f.m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                            static_cast<uint32_t>(f.m_keymap.size() + 1));
                    close(fd);
                },
            .release = destroy,
        };
        wl_resource* r = wl_resource_create(client, &wl_seat_interface, version, id);
        wl_resource_set_implementation(r, &seat, data, nullptr);
        wl_seat_send_capabilities(r, WL_SEAT_CAPABILITY_KEYBOARD);
    }

    static void bind_activation(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct xdg_activation_token_v1_interface token = {
            .set_serial = [](wl_client*, wl_resource*, uint32_t, wl_resource*) {},
            .set_app_id = [](wl_client*, wl_resource*, const char*) {},
            .set_surface = [](wl_client*, wl_resource*, wl_resource*) {},
            .commit =
                [](wl_client*, wl_resource* r) {
                    static int granted = 0;
                    std::string t = "granted-" + std::to_string(++granted);
                    xdg_activation_token_v1_send_done(r, t.c_str());
                },
            .destroy = destroy,
        };
        static const struct xdg_activation_v1_interface activation = {
            .destroy = destroy,
            .get_activation_token =
                [](wl_client* c, wl_resource* r, uint32_t id) {
                    wl_resource* t =
                        wl_resource_create(c, &xdg_activation_token_v1_interface, 1, id);
                    wl_resource_set_implementation(t, &token, &self(r), nullptr);
                },
            .activate =
                [](wl_client*, wl_resource* r, const char* t, wl_resource* surface) {
                    self(r).activations.emplace_back(t, surface == self(r).m_surface);
                },
        };
        wl_resource* r = wl_resource_create(client, &xdg_activation_v1_interface, version, id);
        wl_resource_set_implementation(r, &activation, data, nullptr);
    }

    static void bind_idle_inhibit(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct zwp_idle_inhibitor_v1_interface inhibitor = {.destroy = destroy};
        static const struct zwp_idle_inhibit_manager_v1_interface manager = {
            .destroy = destroy,
            .create_inhibitor =
                [](wl_client* c, wl_resource* r, uint32_t id, wl_resource* surface) {
                    FakeCompositor& f = self(r);
                    wl_resource* made =
                        wl_resource_create(c, &zwp_idle_inhibitor_v1_interface, 1, id);
                    wl_resource_set_implementation(
                        made, &inhibitor, &f, [](wl_resource* gone) { --self(gone).inhibitors; });
                    ++f.inhibitors;
                    ++f.inhibitors_made;
                    f.inhibitors_on_window += surface == f.m_surface;
                },
        };
        wl_resource* r =
            wl_resource_create(client, &zwp_idle_inhibit_manager_v1_interface, version, id);
        wl_resource_set_implementation(r, &manager, data, nullptr);
    }

    static void bind_output(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct wl_output_interface output = {.release = destroy};
        auto& c = *static_cast<FakeCompositor*>(data);
        wl_resource* r = wl_resource_create(client, &wl_output_interface, version, id);
        wl_resource_set_implementation(r, &output, data, nullptr);
        wl_output_send_geometry(r, 0, 0, 300, 200, 0, "fake", "fake", 0);
        wl_output_send_mode(r, WL_OUTPUT_MODE_CURRENT, c.output_width, c.output_height, 60000);
        wl_output_send_scale(r, c.output_scale);
        wl_output_send_done(r);
    }

    static void bind_viewporter(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct wp_viewport_interface viewport = {
            .destroy = destroy,
            .set_source = [](wl_client*, wl_resource*, wl_fixed_t, wl_fixed_t, wl_fixed_t,
                             wl_fixed_t) {},
            .set_destination =
                [](wl_client*, wl_resource* r, int32_t w, int32_t h) {
                    self(r).m_destination = {w, h};
                },
        };
        static const struct wp_viewporter_interface viewporter = {
            .destroy = destroy,
            .get_viewport =
                [](wl_client* c, wl_resource* r, uint32_t id, wl_resource*) {
                    wl_resource* v = wl_resource_create(c, &wp_viewport_interface, 1, id);
                    wl_resource_set_implementation(v, &viewport, &self(r), nullptr);
                },
        };
        wl_resource* r = wl_resource_create(client, &wp_viewporter_interface, version, id);
        wl_resource_set_implementation(r, &viewporter, data, nullptr);
    }

    static void bind_fractional_manager(wl_client* client, void* data, uint32_t version,
                                        uint32_t id) {
        static const struct wp_fractional_scale_v1_interface fractional = {.destroy = destroy};
        static const struct wp_fractional_scale_manager_v1_interface manager = {
            .destroy = destroy,
            .get_fractional_scale =
                [](wl_client* c, wl_resource* r, uint32_t id, wl_resource*) {
                    FakeCompositor& f = self(r);
                    f.m_fractional =
                        wl_resource_create(c, &wp_fractional_scale_v1_interface, 1, id);
                    wl_resource_set_implementation(f.m_fractional, &fractional, &f, nullptr);
                    wp_fractional_scale_v1_send_preferred_scale(f.m_fractional,
                                                                f.m_preferred_scale);
                },
        };
        wl_resource* r =
            wl_resource_create(client, &wp_fractional_scale_manager_v1_interface, version, id);
        wl_resource_set_implementation(r, &manager, data, nullptr);
    }

    struct Pending {
        wl_resource* buffer = nullptr;
        bool attached = false;
        std::vector<Rect> damage;
        std::vector<wl_resource*> frames;
        std::optional<int> buffer_scale;
    };

    std::filesystem::path m_dir;
    wl_display* m_display;
    int m_wake;
    wl_event_source* m_wake_source;
    std::thread m_thread;
    std::atomic<bool> m_stop = false;
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_tasks;
    std::map<wl_resource*, Pending> m_pending;
    wl_resource* m_surface = nullptr;
    wl_resource* m_xdg_surface = nullptr;
    wl_resource* m_toplevel = nullptr;
    bool m_configured_once = false;
    uint32_t m_serial = 0;
    std::vector<wl_resource*> m_frames;
    std::string m_keymap;
    uint32_t m_ctrl = 0, m_shift = 0;
    wl_resource* m_keyboard = nullptr;
    wl_resource* m_fractional = nullptr;
    uint32_t m_preferred_scale = 120;
    int m_buffer_scale = 1;
    std::pair<int, int> m_destination{-1, -1};
    wl_resource* m_held = nullptr;
    std::vector<uint32_t> m_held_pixels;
    wl_listener m_held_gone{{}, [](wl_listener* l, void*) {
                                FakeCompositor* c = wl_container_of(l, c, m_held_gone);
                                wl_list_remove(&l->link);
                                c->m_held = nullptr;
                            }};
};

const struct wl_surface_interface FakeCompositor::surface_requests = {
    .destroy = destroy,
    .attach = [](wl_client*, wl_resource* r, wl_resource* buffer, int32_t,
                 int32_t) { self(r).attach(r, buffer); },
    .damage = [](wl_client*, wl_resource*, int32_t, int32_t, int32_t, int32_t) {},
    .frame =
        [](wl_client* c, wl_resource* r, uint32_t id) {
            self(r).m_pending[r].frames.push_back(
                wl_resource_create(c, &wl_callback_interface, 1, id));
        },
    .set_opaque_region = [](wl_client*, wl_resource*, wl_resource*) {},
    .set_input_region = [](wl_client*, wl_resource*, wl_resource*) {},
    .commit = [](wl_client*, wl_resource* r) { self(r).commit(r); },
    .set_buffer_transform = [](wl_client*, wl_resource*, int32_t) {},
    .set_buffer_scale = [](wl_client*, wl_resource* r,
                           int32_t scale) { self(r).m_pending[r].buffer_scale = scale; },
    .damage_buffer =
        [](wl_client*, wl_resource* r, int32_t x, int32_t y, int32_t w, int32_t h) {
            self(r).m_pending[r].damage.push_back({x, y, w, h});
        },
};

// Waits on the backend until an event comes or the time is up.
std::optional<InputEvent> next_event(platform::Backend& backend,
                                     platform::Micros within = 500'000) {
    return backend.wait_event(backend.now() + within);
}

// Lets the backend handle what the compositor sent, for a moment.
void settle(platform::Backend& backend) {
    platform::Micros end = backend.now() + 50'000;
    while (backend.now() < end)
        backend.wait_event(end);
}

void paint(platform::Backend& backend, const Rect& r, uint32_t colour) {
    platform::Surface s = backend.screen();
    platform::PixelOps::fill(s, s.bounds(), r, colour);
    backend.present(Region(r));
}

class WaylandProtocolTest : public ::testing::Test {
protected:
    // The backend's sound and volume services stay out of it: no sound card, no sound server
    // whose news would come as events.
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("PULSE_SERVER", "unix:/nonexistent", 1);
    }

    // A backend on a screen the compositor makes width x height.
    std::unique_ptr<platform::WaylandBackend> open(int width, int height,
                                                   bool hold_frames = false) {
        compositor.run([&] {
            compositor.configure_width = width;
            compositor.configure_height = height;
            compositor.hold_frames = hold_frames;
        });
        return std::make_unique<platform::WaylandBackend>();
    }

    // Paints the whole screen, which must be width x height device pixels, and gives the
    // commit that shows it.
    FakeCompositor::Commit show_whole(platform::Backend& backend, int width, int height) {
        platform::Surface s = backend.screen();
        EXPECT_EQ(s.width, width);
        EXPECT_EQ(s.height, height);
        paint(backend, s.bounds(), 0xFF304050u);
        settle(backend);
        std::vector<FakeCompositor::Commit> commits = compositor.seen();
        if (commits.empty())
            return {};
        EXPECT_EQ(commits.back().width, width);
        EXPECT_EQ(commits.back().at(width - 1, height - 1), 0xFF304050u);
        return commits.back();
    }

    FakeCompositor compositor;
};

TEST_F(WaylandProtocolTest, ScreenTakesTheOutputsModeWhenTheSizeIsLeftOpen) {
    compositor.run([&] {
        compositor.output_width = 800;
        compositor.output_height = 600;
    });
    platform::WaylandBackend backend;
    EXPECT_EQ(backend.screen().width, 800);
    EXPECT_EQ(backend.screen().height, 600);
    EXPECT_EQ(compositor.run([&] { return compositor.acked_serial; }), 1);
}

TEST_F(WaylandProtocolTest, PresentsOnlyWhatChangedAndNeverWritesIntoAHeldBuffer) {
    auto opened = open(320, 200);
    platform::WaylandBackend& backend = *opened;
    ASSERT_EQ(backend.screen().width, 320);
    paint(backend, {0, 0, 320, 200}, 0xFF202020u);
    // Squares in turn, some faster than the frames, some after the frame came back.
    for (int i = 0; i < 12; ++i) {
        paint(backend, {10 + i * 25, 50, 20, 20}, i % 2 ? 0xFFFF0000u : 0xFF00FF00u);
        if (i % 3 == 2)
            settle(backend);
    }
    settle(backend);
    paint(backend, {0, 0, 1, 1}, 0xFF202020u);
    settle(backend);

    std::vector<FakeCompositor::Commit> commits = compositor.seen();
    ASSERT_FALSE(commits.empty());
    const FakeCompositor::Commit& last = commits.back();
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(last.at(20 + i * 25, 60), i % 2 ? 0xFFFF0000u : 0xFF00FF00u) << "square " << i;
    EXPECT_EQ(last.at(5, 5), 0xFF202020u);
    EXPECT_EQ(last.damage.size(), 1u);
    EXPECT_EQ(last.damage[0], (Rect{0, 0, 1, 1}));
    for (size_t i = 1; i < commits.size(); ++i)
        for (const Rect& d : commits[i].damage)
            EXPECT_LE(d.area(), 25 * 20 * 4) << "commit " << i << " damages more than was drawn";
    EXPECT_EQ(compositor.run([&] { return compositor.writes_into_held_buffers; }), 0);
    EXPECT_EQ(compositor.run([&] { return compositor.buffers_seen.size(); }), 2u);
}

TEST_F(WaylandProtocolTest, WhatIsDrawnWhileAFrameIsPendingGoesOutInOneCommitWhenItComes) {
    auto opened = open(320, 200, true);
    platform::WaylandBackend& backend = *opened;
    paint(backend, {0, 0, 320, 200}, 0xFF000000u);
    settle(backend);
    size_t before = compositor.seen().size();
    paint(backend, {10, 10, 10, 10}, 0xFFFFFFFFu);
    paint(backend, {100, 100, 10, 10}, 0xFFFFFFFFu);
    settle(backend);
    EXPECT_EQ(compositor.seen().size(), before) << "committed before the frame came back";
    compositor.release_frames();
    settle(backend);
    std::vector<FakeCompositor::Commit> commits = compositor.seen();
    ASSERT_EQ(commits.size(), before + 1);
    Region damaged;
    for (const Rect& d : commits.back().damage)
        damaged.add(d);
    EXPECT_EQ(damaged.bounds(), (Rect{10, 10, 100, 100}));
    EXPECT_EQ(commits.back().at(15, 15), 0xFFFFFFFFu);
    EXPECT_EQ(commits.back().at(105, 105), 0xFFFFFFFFu);
}

TEST_F(WaylandProtocolTest, ANewSizeKeepsThePictureAndAsksForARepaint) {
    auto opened = open(320, 200);
    platform::WaylandBackend& backend = *opened;
    paint(backend, {0, 0, 320, 200}, 0xFF0000FFu);
    settle(backend);
    compositor.configure(400, 100);
    std::optional<InputEvent> e = next_event(backend);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->type, InputEvent::Type::ScreenResized);
    platform::Surface s = backend.screen();
    ASSERT_EQ(s.width, 400);
    ASSERT_EQ(s.height, 100);
    EXPECT_EQ(s.at(10, 10) | 0xFF000000u, 0xFF0000FFu);
    paint(backend, {390, 90, 10, 10}, 0xFFFFFF00u);
    settle(backend);
    std::vector<FakeCompositor::Commit> commits = compositor.seen();
    EXPECT_EQ(commits.back().width, 400);
    EXPECT_EQ(commits.back().at(10, 10), 0xFF0000FFu);
    EXPECT_EQ(commits.back().at(395, 95), 0xFFFFFF00u);
    EXPECT_EQ(compositor.run([&] { return compositor.writes_into_held_buffers; }), 0);
}

TEST_F(WaylandProtocolTest, TheCloseRequestAndALostConnectionQuit) {
    auto opened = open(64, 64);
    platform::WaylandBackend& backend = *opened;
    compositor.ask_to_close();
    std::optional<InputEvent> e = next_event(backend);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->type, InputEvent::Type::QuitRequest);

    testing::internal::CaptureStderr();
    compositor.drop_client();
    e = next_event(backend);
    std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->type, InputEvent::Type::QuitRequest);
    EXPECT_EQ(said, "quorvane: the display connection closed: Broken pipe\n");
    // No spin afterwards: the wait lasts until its deadline.
    platform::Micros start = backend.now();
    EXPECT_FALSE(backend.wait_event(start + 100'000));
    EXPECT_GE(backend.now() - start, 100'000);
    paint(backend, {0, 0, 8, 8}, 0xFFFFFFFFu);
}

// A later start's token brings the window forward; without one the backend asks for its own.
// Where the compositor offers no activation, raising does nothing.
TEST_F(WaylandProtocolTest, RaisingActivatesTheWindowWithTheLaunchersTokenOrItsOwn) {
    auto activations = [&](bool offered, const std::vector<std::string>& tokens) {
        FakeCompositor own;
        if (offered)
            own.add_activation();
        platform::WaylandBackend backend;
        settle(backend);
        for (const std::string& t : tokens)
            backend.raise(t);
        next_event(backend, 100'000);
        return own.run([&] { return own.activations; });
    };
    using A = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(activations(true, {"launcher-7", ""}),
              (A{{"launcher-7", true}, {"granted-1", true}}));
    EXPECT_EQ(activations(false, {"launcher-7", ""}), A{});
}

TEST_F(WaylandProtocolTest, TheScreensRestIsHeldOnTheWindowOnceHoweverOftenAskedAndLetGo) {
    compositor.add_idle_inhibit();
    auto opened = open(64, 64);
    platform::WaylandBackend& backend = *opened;
    auto count = [&] {
        return compositor.run([&] {
            return std::vector<int>{compositor.inhibitors_made, compositor.inhibitors_on_window,
                                    compositor.inhibitors};
        });
    };
    backend.hold_screen(true);
    backend.hold_screen(true);
    settle(backend);
    EXPECT_EQ(count(), (std::vector<int>{1, 1, 1}));
    backend.hold_screen(false);
    backend.hold_screen(false);
    settle(backend);
    EXPECT_EQ(count(), (std::vector<int>{1, 1, 0}));
    backend.hold_screen(true);
    settle(backend);
    EXPECT_EQ(count(), (std::vector<int>{2, 2, 1}));

    // A compositor without the protocol: nothing to hold with, and nothing breaks.
    FakeCompositor plain;
    platform::WaylandBackend unheld;
    unheld.hold_screen(true);
    settle(unheld);
    unheld.hold_screen(false);
    EXPECT_FALSE(next_event(unheld, 100'000));
}

// A compositor sends no frames for a window it does not show (another workspace, minimised,
// the screen locked or off).
TEST_F(WaylandProtocolTest, AWindowWhoseFrameIsHeldBackIsUnseenUntilItComes) {
    auto opened = open(64, 64, true);
    platform::WaylandBackend& backend = *opened;
    using Seen = std::optional<std::pair<InputEvent::Type, int>>;
    auto next = [&](platform::Micros within) -> Seen {
        std::optional<InputEvent> e = next_event(backend, within);
        return e ? Seen({e->type, e->x}) : std::nullopt;
    };
    platform::Micros start = backend.now();
    paint(backend, {0, 0, 64, 64}, 0xFF000000u);
    EXPECT_EQ(next(3 * platform::WaylandBackend::kUnseenAfter), Seen({InputEvent::Type::Seen, 0}));
    EXPECT_GE(backend.now() - start, platform::WaylandBackend::kUnseenAfter);
    // Told once; what is drawn meanwhile waits for the frame.
    paint(backend, {0, 0, 8, 8}, 0xFFFFFFFFu);
    EXPECT_EQ(next(300'000), std::nullopt);
    compositor.release_frames();
    EXPECT_EQ(next(500'000), Seen({InputEvent::Type::Seen, 1}));

    // Frames that come in time tell nothing.
    compositor.run([&] { compositor.hold_frames = false; });
    compositor.release_frames();
    for (int i = 0; i < 5; ++i) {
        paint(backend, {i, 0, 1, 1}, 0xFFFFFFFFu);
        EXPECT_EQ(next(100'000), std::nullopt);
    }
}

// Keys as the layout names them, as the X11 backend reads them: the unshifted character in
// upper case, or in a layout of another script the key's Latin letter; Ctrl as the shortcut
// modifier; Space, Escape, Up and Down by name; nothing for other keys without a character save
// the media keys.
TEST_F(WaylandProtocolTest, KeysReadAsTheLayoutNamesThem) {
    auto keys = [&](const char* layout, const std::vector<std::pair<uint32_t, int>>& presses) {
        FakeCompositor own;
        own.run([&] {
            own.configure_width = 64;
            own.configure_height = 64;
        });
        own.add_keyboard(layout);
        platform::WaylandBackend backend;
        settle(backend);
        for (auto [key, modifiers] : presses)
            own.press(key, modifiers);
        std::string read;
        while (std::optional<InputEvent> e = next_event(backend, 200'000))
            if (e->type == InputEvent::Type::KeyDown)
                read += e->key + (e->shortcut_modifier ? "^ " : " ");
            else if (e->type == InputEvent::Type::MediaKey)
                read += "[" + e->key + "] ";
        return read;
    };
    using F = FakeCompositor;
    EXPECT_EQ(keys("us", {{KEY_Q, F::kCtrl},
                          {KEY_Q, F::kShift},
                          {KEY_Q, F::kCtrl | F::kShift},
                          {KEY_1, F::kCtrl},
                          {KEY_1, F::kShift},
                          {KEY_SPACE, F::kCtrl},
                          {KEY_F1, F::kNone},
                          {KEY_LEFT, F::kNone}}),
              "Q^ Q Q^ 1^ 1 Space^ ");
    // The program's own keys read the same in a Latin layout and in one of another script.
    for (const char* layout : {"us", "ru"})
        EXPECT_EQ(keys(layout, {{KEY_T, F::kNone},
                                {KEY_D, F::kNone},
                                {KEY_SPACE, F::kNone},
                                {KEY_ESC, F::kNone},
                                {KEY_UP, F::kNone},
                                {KEY_DOWN, F::kNone}}),
                  "T D Space Escape Up Down ")
            << layout;
    // The key marked Z on a German keyboard sits where the American one has Y.
    EXPECT_EQ(keys("de", {{KEY_Y, F::kCtrl}, {KEY_Z, F::kNone}}), "Z^ Y ");
    EXPECT_EQ(keys("fr", {{KEY_A, F::kCtrl}}), "Q^ ");
    // A layout of another script: the key's Latin letter, from the keymap's other layout, else
    // the American keyboard's at its place; Greek's ';' on the key marked Q too.
    EXPECT_EQ(keys("ru", {{KEY_Q, F::kCtrl}, {KEY_A, F::kNone}, {KEY_SEMICOLON, F::kCtrl}}),
              "Q^ A ");
    EXPECT_EQ(keys("ru,fr", {{KEY_A, F::kCtrl}, {KEY_Q, F::kCtrl}}), "Q^ A^ ");
    EXPECT_EQ(keys("gr", {{KEY_Q, F::kCtrl}, {KEY_W, F::kNone}}), "Q^ W ");
    EXPECT_EQ(keys("gr,us", {{KEY_Q, F::kCtrl}}), "Q^ ");
    // The media keys, with or without a modifier; the others among them make nothing.
    EXPECT_EQ(keys("us", {{KEY_PLAYPAUSE, F::kNone},
                          {KEY_PAUSECD, F::kNone},
                          {KEY_STOPCD, F::kCtrl},
                          {KEY_NEXTSONG, F::kNone}}),
              "[PlayPause] [Pause] [Stop] ");
}

} // namespace

TEST_F(WaylandProtocolTest, AtTheOutputsScaleTheBuffersHoldItsPixelsAndSayTheirScale) {
    compositor.run([&] { compositor.output_scale = 2; });
    auto opened = open(960, 540);
    platform::WaylandBackend& backend = *opened;
    EXPECT_EQ(backend.screen().scale, platform::Scale::from_120ths(240));
    FakeCompositor::Commit shown = show_whole(backend, 1920, 1080);
    EXPECT_EQ(shown.buffer_scale, 2);
    EXPECT_EQ(shown.destination_width, -1);

    // A new size is taken in logical pixels, and the buffers follow at the scale.
    compositor.configure(800, 600);
    std::optional<InputEvent> e = next_event(backend);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->type, InputEvent::Type::ScreenResized);
    EXPECT_EQ(backend.screen().width, 1600);
    EXPECT_EQ(backend.screen().height, 1200);
}

TEST_F(WaylandProtocolTest, AFractionalScaleMakesBuffersOfTheExactSizeShownThroughAViewport) {
    compositor.add_fractional_scale(180);
    compositor.run([&] { compositor.output_scale = 2; });
    auto opened = open(1280, 720);
    platform::WaylandBackend& backend = *opened;
    // The preferred scale may come after the first configure: a screen change then.
    settle(backend);
    EXPECT_EQ(backend.screen().scale, platform::Scale::from_120ths(180));
    FakeCompositor::Commit shown = show_whole(backend, 1920, 1080);
    EXPECT_EQ(shown.buffer_scale, 1);
    EXPECT_EQ(shown.destination_width, 1280);
    EXPECT_EQ(shown.destination_height, 720);

    // The window moved to an output of another scale: a screen change, the same logical size.
    compositor.prefer_scale(150);
    std::optional<InputEvent> e = next_event(backend);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->type, InputEvent::Type::ScreenResized);
    EXPECT_EQ(show_whole(backend, 1600, 900).destination_width, 1280);
}
