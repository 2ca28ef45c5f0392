#include "platform/sdl/X11MainScreen.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>
#include <unistd.h>

namespace platform {

namespace {

// The area of the monitor an output drives, or nothing when it is dark.
Rect output_area(Display* display, XRRScreenResources* resources, RROutput output) {
    Rect area{};
    XRROutputInfo* info = XRRGetOutputInfo(display, resources, output);
    if (!info)
        return area;
    // Lit is what counts: the connection state is the one last polled, which for some drivers
    // lags behind an output that has just been given a mode.
    if (info->crtc != None) {
        if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, info->crtc)) {
            area = {crtc->x, crtc->y, static_cast<int>(crtc->width),
                    static_cast<int>(crtc->height)};
            XRRFreeCrtcInfo(crtc);
        }
    }
    XRRFreeOutputInfo(info);
    return area;
}

} // namespace

std::unique_ptr<X11MainScreen> X11MainScreen::of_window(SDL_Window* window, uint32_t change_event) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    Display* display = info.info.x11.display;
    int event_base = 0, error_base = 0;
    if (!XRRQueryExtension(display, &event_base, &error_base))
        return nullptr;
    Display* watched = XOpenDisplay(DisplayString(display));
    if (!watched)
        return nullptr;
    return std::make_unique<X11MainScreen>(display, watched, change_event);
}

X11MainScreen::X11MainScreen(Display* display, Display* watched, uint32_t change_event)
    : m_display(display), m_watched(watched), m_change_event(change_event) {
    int error_base = 0;
    XRRQueryExtension(m_watched, &m_event_base, &error_base);
    XRRSelectInput(m_watched, DefaultRootWindow(m_watched),
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    m_resource_atom = XInternAtom(m_watched, "RESOURCE_MANAGER", False);
    XSelectInput(m_watched, DefaultRootWindow(m_watched), PropertyChangeMask);
    XFlush(m_watched);
    if (pipe(m_stop) != 0)
        return;
    m_watcher = std::thread([this] { watch(); });
}

X11MainScreen::~X11MainScreen() {
    if (m_watcher.joinable()) {
        char stop = 0;
        (void)!write(m_stop[1], &stop, 1);
        m_watcher.join();
    }
    for (int fd : m_stop)
        if (fd >= 0)
            close(fd);
    XCloseDisplay(m_watched);
}

void X11MainScreen::watch() {
    pollfd waits[2] = {{ConnectionNumber(m_watched), POLLIN, 0}, {m_stop[0], POLLIN, 0}};
    for (;;) {
        bool changed = false;
        while (XPending(m_watched)) {
            XEvent event;
            XNextEvent(m_watched, &event);
            if (event.type == m_event_base + RRScreenChangeNotify ||
                event.type == m_event_base + RRNotify ||
                (event.type == PropertyNotify && event.xproperty.atom == m_resource_atom))
                changed = true;
        }
        // One event for a burst: a new mode comes as several notices.
        if (changed) {
            SDL_Event event{};
            event.type = m_change_event;
            SDL_PushEvent(&event);
        }
        if (poll(waits, 2, -1) < 0 || (waits[0].revents & (POLLERR | POLLHUP)) || waits[1].revents)
            return;
    }
}

Rect X11MainScreen::bounds() const {
    ::Window root = DefaultRootWindow(m_display);
    int screen = DefaultScreen(m_display);
    Rect whole{0, 0, DisplayWidth(m_display, screen), DisplayHeight(m_display, screen)};
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(m_display, root);
    if (!resources)
        return whole;
    Rect area{};
    if (RROutput primary = XRRGetOutputPrimary(m_display, root); primary != None)
        area = output_area(m_display, resources, primary);
    for (int i = 0; area.is_empty() && i < resources->noutput; ++i)
        area = output_area(m_display, resources, resources->outputs[i]);
    XRRFreeScreenResources(resources);
    return area.is_empty() ? whole : area;
}

} // namespace platform

namespace platform {

std::string X11MainScreen::resources() const {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string text;
    Atom name = XInternAtom(m_display, "RESOURCE_MANAGER", False);
    if (XGetWindowProperty(m_display, DefaultRootWindow(m_display), name, 0, 1 << 20, False,
                           XA_STRING, &type, &format, &count, &after, &data) == Success &&
        data) {
        if (format == 8)
            text.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return text;
}

} // namespace platform
