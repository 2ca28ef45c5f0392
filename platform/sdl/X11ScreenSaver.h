#pragma once

#include <functional>
#include <memory>
#include <string>

typedef struct _XDisplay Display;
struct SDL_Window;

namespace platform {

// The X server's own screen saver and the monitor's power, on a connection of our own: holds off
// the server's blanking (and its DPMS timers) on request, and tells when the server blanks or
// unblanks the screen, where it has DPMS when the monitor is switched off or on, and when a
// window it is given to watch is wholly covered by others or uncovered.
// It is serviced from the loop, like a bus connection: watch fd() for reading and call service()
// when it is ready; DPMS tells of no change, so call check_monitor() every kMonitorCheckMs while
// has_dpms() (nothing needs it otherwise). Reports come from those two calls only.
class X11ScreenSaver {
public:
    struct State {
        bool blanked = false;     // the server's screen saver is on
        bool monitor_off = false; // DPMS put the monitor in standby, suspend or off
        bool covered = false;     // the watched window is wholly covered (never so where a
                                  // compositing manager draws the windows)
        bool operator==(const State&) const = default;
    };
    static constexpr int kMonitorCheckMs = 5000;

    // Opens the display named as XOpenDisplay takes it (the environment's for an empty name);
    // null where it cannot be opened. changed is called with the new state each time it
    // changes; a failure inside it is reported as any handler's and ends only it.
    static std::unique_ptr<X11ScreenSaver> open(const std::string& display,
                                                std::function<void(State)> changed);
    // On the display of a window SDL made on X11, watching that window; null for a window
    // elsewhere, or where the display cannot be opened.
    static std::unique_ptr<X11ScreenSaver> of_window(SDL_Window* window,
                                                     std::function<void(State)> changed);
    ~X11ScreenSaver();
    X11ScreenSaver(const X11ScreenSaver&) = delete;
    X11ScreenSaver& operator=(const X11ScreenSaver&) = delete;

    // While on, the server neither blanks the screen nor powers the monitor down by its timers;
    // the desktop may still blank it on request. On twice suspends once. The server ends the
    // suspension by itself when the connection closes. Nothing where the server cannot do it.
    void suspend(bool on);
    bool suspended() const { return m_suspended; }

    // Tells from now on whether the window (an X window id) is wholly covered: it counts as
    // uncovered until the server says otherwise.
    void watch_window(unsigned long window);

    int fd() const;
    // Reads what the server told. A server that goes away ends the program through Xlib, as it
    // does on SDL's own connection.
    void service();
    void check_monitor();

    State state() const { return m_state; }
    bool can_suspend() const { return m_can_suspend; }
    bool has_dpms() const { return m_has_dpms; }

private:
    X11ScreenSaver(Display* display, std::function<void(State)> changed);
    void read_events(State& now);
    void update(State state);

    Display* m_display;
    std::function<void(State)> m_changed;
    int m_event_base = -1; // of the screen saver extension; -1 without it
    bool m_can_suspend = false;
    bool m_has_dpms = false;
    bool m_suspended = false;
    State m_state;
};

} // namespace platform
