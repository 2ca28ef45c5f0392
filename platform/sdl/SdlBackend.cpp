#include "platform/sdl/SdlBackend.h"

#include "platform/loop/ShortcutKey.h"
#include "platform/native/DesktopScale.h"
#include "platform/sdl/WindowManagerProbe.h"
#include "platform/sdl/X11KeyLayouts.h"
#include "platform/sdl/X11ScreenSaver.h"

#include <SDL.h>
#include <poll.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>
#include <vector>

namespace platform {

namespace {

// X11's keysym for the SDL keycodes of the keys bound by name (ShortcutKey::named); 0 for others.
uint32_t x11_keysym(int32_t keycode) {
    switch (keycode) {
    case SDLK_SPACE:
        return 0x0020;
    case SDLK_ESCAPE:
        return 0xFF1B;
    case SDLK_UP:
        return 0xFF52;
    case SDLK_DOWN:
        return 0xFF54;
    default:
        return 0;
    }
}

} // namespace

SdlBackend::SdlBackend() {
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The screen's rest is held on the program's own terms (while the picture is drawn) and in
    // its own name; SDL's hold, taken for as long as it runs, would name it "My SDL
    // application". Read when the display opens.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (SDL_Init(SDL_INIT_EVENTS) != 0)
        throw BackendError(SDL_GetError());
    open_display();
    // SDL's default window surface is an OpenGL texture (software OpenGL without a GPU) that
    // re-sends the whole window at every update, while the plain shared-memory framebuffer
    // sends only the rectangles given, GPU or not. Set before the window surface is made, which
    // reads it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        std::string why = SDL_GetError();
        SDL_Quit();
        throw BackendError(why);
    }
    // Made at the desktop's size: a full-screen window asked for at 0x0 can come out 1x1
    // where no window manager resizes it.
    SDL_Rect bounds{0, 0, mode.w, mode.h};
    SDL_GetDisplayBounds(0, &bounds);
    m_window =
        SDL_CreateWindow("Quorvane", bounds.x, bounds.y, bounds.w, bounds.h, SDL_WINDOW_BORDERLESS);
    if (!m_window) {
        std::string why = SDL_GetError();
        SDL_Quit();
        throw BackendError(why);
    }
    // Asking for full screen waits for a window manager's answer, 100 ms in vain where there is
    // none; a borderless window at the display's bounds already covers the screen there.
    m_has_window_manager = WindowManagerProbe::is_running(m_window);
    if (m_has_window_manager)
        SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    watch_main_screen();
    watch_screen_saver();
    update_scale();
    attach_surface();
    m_cursors[static_cast<int>(CursorShape::StandardPointer)] =
        SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    m_cursors[static_cast<int>(CursorShape::FingerPointer)] =
        SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    // The arrow from the start, as the runtime assumes; left alone the window would show the
    // display's root pointer until a control first sets a shape.
    set_cursor_shape(CursorShape::StandardPointer);
    m_volume_event = SDL_RegisterEvents(1);
    start_services([type = m_volume_event] {
        SDL_Event e{};
        e.type = type;
        SDL_PushEvent(&e);
    });
}

SdlBackend::~SdlBackend() {
    // Their threads post SDL events: they stop while SDL still runs.
    m_main_screen.reset();
    m_watcher.reset();
    m_saver.reset();
    for (SDL_Cursor* c : m_cursors)
        if (c)
            SDL_FreeCursor(c);
    if (m_shadow_surface)
        SDL_FreeSurface(m_shadow_surface);
    if (m_window)
        SDL_DestroyWindow(m_window);
    // After the window: closing the audio device lets its last buffers play out (about 0.2 s),
    // and a volume change just made may still be on its way; the user need not watch either.
    stop_services();
    SDL_Quit();
}

void SdlBackend::open_display() {
    // X11 only: Wayland has a backend of its own, and SDL's other drivers draw nowhere a user
    // can see.
    const char* x = SDL_getenv("DISPLAY");
    if (!x || !*x) {
        SDL_Quit();
        throw BackendError("DISPLAY is not set");
    }
    if (SDL_VideoInit("x11") != 0) {
        // SDL says only that X11 is not there: the display it looked for is named, as a user
        // with a stale or mistyped DISPLAY needs to see.
        std::string why = std::string("cannot connect to ") + x + " (" + SDL_GetError() + ")";
        SDL_Quit();
        throw BackendError(why);
    }
}

void SdlBackend::watch_main_screen() {
    m_screen_changed = SDL_RegisterEvents(1);
    m_main_screen = X11MainScreen::of_window(m_window, m_screen_changed);
    if (m_main_screen)
        cover_main_screen();
}

bool SdlBackend::update_scale() {
    Scale before = m_scale;
    m_scale = DesktopScale::choose([](const char* name) { return SDL_getenv(name); },
                                   m_main_screen ? m_main_screen->resources() : std::string());
    return !(m_scale == before);
}

void SdlBackend::cover_main_screen() {
    Rect want = m_main_screen->bounds();
    Rect now;
    SDL_GetWindowPosition(m_window, &now.x, &now.y);
    SDL_GetWindowSize(m_window, &now.w, &now.h);
    if (now == want)
        return;
    if (!m_has_window_manager) {
        SDL_SetWindowPosition(m_window, want.x, want.y);
        SDL_SetWindowSize(m_window, want.w, want.h);
        return;
    }
    // A window manager fits a full-screen window to its monitor itself; it keeps it on that
    // monitor, so reaching another one takes leaving full screen.
    if (now.x == want.x && now.y == want.y)
        return;
    SDL_SetWindowFullscreen(m_window, 0);
    SDL_SetWindowPosition(m_window, want.x, want.y);
    SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void SdlBackend::watch_screen_saver() {
    m_saver = X11ScreenSaver::of_window(m_window, nullptr);
    if (!m_saver)
        return;
    watch(m_saver->fd(), POLLIN);
    m_next_monitor_check = now() + X11ScreenSaver::kMonitorCheckMs * 1000;
}

void SdlBackend::hold_screen(bool held) {
    if (!m_saver)
        held ? SDL_DisableScreenSaver() : SDL_EnableScreenSaver();
    else
        m_saver->suspend(held);
}

void SdlBackend::check_monitor() {
    if (!m_saver || !m_saver->has_dpms() || now() < m_next_monitor_check)
        return;
    m_saver->check_monitor();
    m_next_monitor_check = now() + X11ScreenSaver::kMonitorCheckMs * 1000;
}

std::optional<InputEvent> SdlBackend::seen_change() {
    bool seen = !m_window_hidden;
    if (m_saver) {
        X11ScreenSaver::State state = m_saver->state();
        seen = seen && !state.blanked && !state.monitor_off && !state.covered;
    }
    if (seen == m_told_seen)
        return std::nullopt;
    m_told_seen = seen;
    return InputEvent(InputEvent::Type::Seen, seen ? 1 : 0);
}

void SdlBackend::attach_surface() {
    m_surface = SDL_GetWindowSurface(m_window);
    if (!m_surface)
        throw BackendError(std::string("cannot draw into the window: ") + SDL_GetError());
    bool direct =
        m_surface->format->BytesPerPixel == 4 && m_surface->format->Rmask == 0x00FF0000u &&
        m_surface->format->Gmask == 0x0000FF00u && m_surface->format->Bmask == 0x000000FFu;
    if (m_shadow_surface) {
        SDL_FreeSurface(m_shadow_surface);
        m_shadow_surface = nullptr;
    }
    if (direct) {
        m_shadow.reset();
        return;
    }
    m_shadow = std::make_unique<Image>(m_surface->w, m_surface->h, 0xFF000000u);
    m_shadow_surface =
        SDL_CreateRGBSurfaceWithFormatFrom(m_shadow->row(0), m_shadow->width(), m_shadow->height(),
                                           32, m_shadow->width() * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!m_shadow_surface)
        throw BackendError(std::string("cannot draw into the window: ") + SDL_GetError());
}

Micros SdlBackend::now() {
    static const uint64_t frequency = SDL_GetPerformanceFrequency();
    uint64_t counter = SDL_GetPerformanceCounter();
    return static_cast<Micros>((counter / frequency) * 1000000 +
                               (counter % frequency) * 1000000 / frequency);
}

std::optional<InputEvent> SdlBackend::wait_for(std::optional<Micros> timeout) {
    // A screen blank or dark from the start is told at the first wait. The monitor's power
    // tells of no change: it is asked now and then while the loop sleeps.
    check_monitor();
    if (std::optional<InputEvent> event = seen_change())
        return event;
    if (m_saver && m_saver->has_dpms()) {
        Micros until_check = std::max<Micros>(0, m_next_monitor_check - now());
        timeout = timeout ? std::min(*timeout, until_check) : until_check;
    }
    if (timeout && *timeout < 1000) {
        // SDL waits in whole milliseconds; the last fraction is slept, so that timers keep their
        // beat to a fraction of a millisecond. Input waits that long at most.
        if (std::optional<InputEvent> event = poll_event())
            return event;
        std::this_thread::sleep_for(std::chrono::microseconds(*timeout));
        return std::nullopt;
    }
    int timeout_ms = timeout ? static_cast<int>(std::min<Micros>(*timeout / 1000, 1 << 30)) : -1;
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, timeout_ms))
        return std::nullopt;
    return translate(&e);
}

std::optional<InputEvent> SdlBackend::poll_event() {
    SDL_Event e;
    while (SDL_PollEvent(&e))
        if (std::optional<InputEvent> event = translate(&e))
            return event;
    return std::nullopt;
}

std::optional<InputEvent> SdlBackend::translate(const void* sdl_event) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(sdl_event);
    InputEvent out;
    if (m_main_screen && e.type == m_screen_changed) {
        cover_main_screen();
        // A new scale on the same screen is a screen change too: everything is laid out and
        // drawn again at it.
        if (!update_scale())
            return std::nullopt;
        out.type = InputEvent::Type::ScreenResized;
        return out;
    }
    if (e.type == m_volume_event) {
        out.type = InputEvent::Type::OutputVolumeChanged;
        return out;
    }
    if (m_saver && m_source_event && e.type == m_source_event && e.user.code == m_saver->fd()) {
        m_saver->service();
        watch(m_saver->fd(), POLLIN);
        return seen_change();
    }
    if (m_source_event && e.type == m_source_event) {
        out.type = InputEvent::Type::SourceReady;
        out.x = e.user.code;
        return out;
    }
    switch (e.type) {
    case SDL_QUIT:
        out.type = InputEvent::Type::QuitRequest;
        return out;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
            out.type = InputEvent::Type::QuitRequest;
            return out;
        }
        if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            Rect before = screen().bounds();
            attach_surface();
            out.type = screen().bounds() == before ? InputEvent::Type::Exposed
                                                   : InputEvent::Type::ScreenResized;
            return out;
        }
        if (e.window.event == SDL_WINDOWEVENT_HIDDEN ||
            e.window.event == SDL_WINDOWEVENT_MINIMIZED) {
            m_window_hidden = true;
            return seen_change();
        }
        if (e.window.event == SDL_WINDOWEVENT_SHOWN || e.window.event == SDL_WINDOWEVENT_RESTORED ||
            e.window.event == SDL_WINDOWEVENT_MAXIMIZED ||
            e.window.event == SDL_WINDOWEVENT_EXPOSED) {
            m_window_hidden = false;
            // Seen again, the whole screen is repainted anyway.
            if (std::optional<InputEvent> seen = seen_change())
                return seen;
            if (e.window.event != SDL_WINDOWEVENT_EXPOSED)
                return std::nullopt;
            out.type = InputEvent::Type::Exposed;
            return out;
        }
        return std::nullopt;
    case SDL_MOUSEMOTION:
        if (m_pointer.moved())
            apply_cursor_visibility();
        out.type = InputEvent::Type::PointerMove;
        out.x = m_scale.to_logical(e.motion.x);
        out.y = m_scale.to_logical(e.motion.y);
        return out;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        // One button, as the program was made for.
        if (e.button.button != SDL_BUTTON_LEFT)
            return std::nullopt;
        out.type = e.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Type::PointerDown
                                                 : InputEvent::Type::PointerUp;
        out.x = m_scale.to_logical(e.button.x);
        out.y = m_scale.to_logical(e.button.y);
        return out;
    case SDL_KEYDOWN: {
        if (e.key.keysym.sym == SDLK_AUDIOPLAY || e.key.keysym.sym == SDLK_AUDIOSTOP) {
            out.type = InputEvent::Type::MediaKey;
            out.key = e.key.keysym.sym == SDLK_AUDIOPLAY ? "PlayPause" : "Stop";
            return out;
        }
        out.type = InputEvent::Type::KeyDown;
        if (std::optional<std::string> named = ShortcutKey::named(x11_keysym(e.key.keysym.sym))) {
            out.key = *named;
        } else {
            std::optional<char> key = shortcut_key(e.key.keysym.sym, e.key.keysym.scancode);
            if (!key)
                return std::nullopt;
            out.key = std::string(1, *key);
        }
        out.shortcut_modifier = (e.key.keysym.mod & (KMOD_CTRL | KMOD_GUI)) != 0;
        return out;
    }
    default:
        return std::nullopt;
    }
}

std::optional<char> SdlBackend::shortcut_key(int32_t keycode, int scancode) const {
    // SDL's keycode of a key that types a character is that character; others carry a mark.
    uint32_t character = keycode & SDLK_SCANCODE_MASK ? 0 : static_cast<uint32_t>(keycode);
    // The scancode is the key's place, named by the American key there.
    const char* american = SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
    std::string place;
    if (american && american[0] && !american[1])
        place = ShortcutKey::place_of(american[0]).value_or("");
    std::optional<X11KeyLayouts> layouts;
    return ShortcutKey::of(character, place, [&](std::string_view at) {
        if (!layouts)
            layouts.emplace(m_window);
        return layouts->at(at);
    });
}

void SdlBackend::watch(int fd, short events) {
    if (!m_watcher) {
        m_source_event = SDL_RegisterEvents(1);
        m_watcher = std::make_unique<FdWatcher>([type = m_source_event](int ready) {
            SDL_Event e{};
            e.type = type;
            e.user.code = ready;
            SDL_PushEvent(&e);
        });
    }
    m_watcher->watch(fd, events);
}

// X11 has no activation tokens: the window manager is asked to activate the window, which it
// grants to a request naming the program itself.
void SdlBackend::raise(const std::string&) {
    if (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED)
        SDL_RestoreWindow(m_window);
    SDL_RaiseWindow(m_window);
}

Surface SdlBackend::screen() {
    Surface s = m_shadow ? m_shadow->surface()
                         : Surface{static_cast<uint32_t*>(m_surface->pixels), m_surface->w,
                                   m_surface->h, m_surface->pitch / 4};
    s.scale = m_scale;
    return s;
}

void SdlBackend::present(const Region& region) {
    std::vector<SDL_Rect>& rects = m_present_rects;
    rects.clear();
    for (const Rect& r : region.rects())
        rects.push_back({r.x, r.y, r.w, r.h});
    if (m_shadow_surface) {
        for (SDL_Rect& r : rects) {
            SDL_Rect to = r;
            SDL_BlitSurface(m_shadow_surface, &r, m_surface, &to);
        }
    }
    SDL_UpdateWindowSurfaceRects(m_window, rects.data(), static_cast<int>(rects.size()));
}

void SdlBackend::set_cursor_shape(CursorShape shape) {
    if (SDL_Cursor* c = m_cursors[static_cast<int>(shape)])
        SDL_SetCursor(c);
}

void SdlBackend::set_cursor_visible(bool visible) {
    m_pointer.set_visible(visible);
    apply_cursor_visibility();
}

void SdlBackend::obscure_cursor() {
    m_pointer.obscure();
    apply_cursor_visibility();
}

void SdlBackend::apply_cursor_visibility() {
    SDL_ShowCursor(m_pointer.is_shown() ? SDL_ENABLE : SDL_DISABLE);
}

} // namespace platform
