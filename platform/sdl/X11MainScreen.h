#pragma once

#include "platform/base/Rect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

typedef struct _XDisplay Display;
struct SDL_Window;

namespace platform {

// The X display's main screen: the primary monitor's area, which the program covers, leaving
// other monitors to the desktop, and the X resources that say its scale. RandR tells of every
// change: a new resolution, a monitor plugged in or out, another monitor made primary; the root
// window tells of new resources (the desktop's scale setting changed). SDL keeps the screens it
// found at start-up, so the changes are heard on a connection of our own, by a thread that sleeps
// until one comes and then posts an SDL event of the given type.
class X11MainScreen {
public:
    // For a window SDL made on X11; null for a window elsewhere, or when the display cannot be
    // watched.
    static std::unique_ptr<X11MainScreen> of_window(SDL_Window* window, uint32_t change_event);
    X11MainScreen(Display* display, Display* watched, uint32_t change_event);
    ~X11MainScreen();
    X11MainScreen(const X11MainScreen&) = delete;
    X11MainScreen& operator=(const X11MainScreen&) = delete;

    // The primary monitor's area in root window pixels; the first lit monitor's without a
    // primary; the whole root window where RandR knows of none.
    Rect bounds() const;
    // The X resource database as the root window holds it now (not as it was when the display
    // was opened); empty where none is set.
    std::string resources() const;

private:
    void watch();

    Display* m_display; // SDL's, on the main thread
    Display* m_watched; // ours, on the watching thread
    uint32_t m_change_event;
    int m_event_base = -1;
    unsigned long m_resource_atom = 0;
    int m_stop[2] = {-1, -1};
    std::thread m_watcher;
};

} // namespace platform
