#include "platform/sdl/X11ScreenSaver.h"

#include "platform/base/FailureLog.h"
#include "platform/loop/EventLoop.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <X11/extensions/scrnsaver.h>

namespace platform {

std::unique_ptr<X11ScreenSaver> X11ScreenSaver::open(const std::string& display,
                                                     std::function<void(State)> changed) {
    Display* opened = XOpenDisplay(display.empty() ? nullptr : display.c_str());
    if (!opened)
        return nullptr;
    return std::unique_ptr<X11ScreenSaver>(new X11ScreenSaver(opened, std::move(changed)));
}

std::unique_ptr<X11ScreenSaver> X11ScreenSaver::of_window(SDL_Window* window,
                                                          std::function<void(State)> changed) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    std::unique_ptr<X11ScreenSaver> saver =
        open(DisplayString(info.info.x11.display), std::move(changed));
    if (saver)
        saver->watch_window(info.info.x11.window);
    return saver;
}

X11ScreenSaver::X11ScreenSaver(Display* display, std::function<void(State)> changed)
    : m_display(display), m_changed(std::move(changed)) {
    int error_base = 0, major = 0, minor = 0;
    ::Window root = DefaultRootWindow(m_display);
    if (XScreenSaverQueryExtension(m_display, &m_event_base, &error_base) &&
        XScreenSaverQueryVersion(m_display, &major, &minor)) {
        // Suspending came with version 1.1.
        m_can_suspend = major > 1 || (major == 1 && minor >= 1);
        XScreenSaverSelectInput(m_display, root, ScreenSaverNotifyMask);
        // Asked after the notices were, so that what it answers is the latest.
        if (XScreenSaverInfo* info = XScreenSaverAllocInfo()) {
            if (XScreenSaverQueryInfo(m_display, root, info))
                m_state.blanked = info->state == ScreenSaverOn;
            XFree(info);
        }
    } else {
        m_event_base = -1;
    }
    int dpms_event = 0, dpms_error = 0;
    m_has_dpms = DPMSQueryExtension(m_display, &dpms_event, &dpms_error) && DPMSCapable(m_display);
    if (m_has_dpms) {
        CARD16 level = DPMSModeOn;
        BOOL enabled = False;
        if (DPMSInfo(m_display, &level, &enabled))
            m_state.monitor_off = enabled && level != DPMSModeOn;
    }
    // Notices queued while waiting for the answers above are older than what those said.
    while (XEventsQueued(m_display, QueuedAlready) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
    }
}

X11ScreenSaver::~X11ScreenSaver() {
    XCloseDisplay(m_display);
}

void X11ScreenSaver::suspend(bool on) {
    if (!m_can_suspend || on == m_suspended)
        return;
    // The server counts each client's suspensions: one each way keeps the count at one or none.
    m_suspended = on;
    XScreenSaverSuspend(m_display, on ? True : False);
    XFlush(m_display);
}

void X11ScreenSaver::watch_window(unsigned long window) {
    // Each client chooses the events it hears of a window: SDL's own choice stays as it is.
    XSelectInput(m_display, window, VisibilityChangeMask);
    // Changes after this returns are heard.
    XSync(m_display, False);
}

int X11ScreenSaver::fd() const {
    return ConnectionNumber(m_display);
}

void X11ScreenSaver::service() {
    State now = m_state;
    read_events(now);
    update(now);
}

void X11ScreenSaver::check_monitor() {
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    if (!m_has_dpms || !DPMSInfo(m_display, &level, &enabled))
        return;
    State now = m_state;
    now.monitor_off = enabled && level != DPMSModeOn;
    // Notices that came with the answer wait in Xlib's queue, where the loop cannot see them.
    read_events(now);
    update(now);
}

void X11ScreenSaver::read_events(State& now) {
    // Reads what the connection has before looking at what it queued.
    while (XEventsQueued(m_display, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (m_event_base >= 0 && event.type == m_event_base + ScreenSaverNotify)
            now.blanked = reinterpret_cast<XScreenSaverNotifyEvent&>(event).state != ScreenSaverOff;
        else if (event.type == VisibilityNotify)
            now.covered = event.xvisibility.state == VisibilityFullyObscured;
    }
}

void X11ScreenSaver::update(State state) {
    if (state == m_state)
        return;
    m_state = state;
    if (m_changed)
        EventLoop::current().failures().guard("X screen saver changed", [&] { m_changed(state); });
}

} // namespace platform
