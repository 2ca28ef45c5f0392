#pragma once

#include "platform/graphics/CursorShape.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"

#include <string>

namespace platform {

// The screen as a backend shows it: a buffer the size of the screen, sent to the display in
// parts, and the pointer over it.
class Display {
public:
    virtual ~Display() = default;

    // The screen buffer; its size is the screen's size. Valid until the next wait for events.
    virtual Surface screen() = 0;
    // Sends the given parts of the screen buffer to the display.
    virtual void present(const Region& region) = 0;

    virtual void set_cursor_shape(CursorShape shape) = 0;
    virtual void set_cursor_visible(bool visible) = 0;
    // Hides the pointer until it next moves.
    virtual void obscure_cursor() = 0;

    // Brings the scene to the front of the desktop. token is the activation token a launcher
    // gave the program's second start, empty when there was none.
    virtual void raise(const std::string& token) { (void)token; }

    // Holds the desktop's screen blanking and locking off while held, as video players do; the
    // desktop blanks and locks as it is set to once let go. Nothing where the display cannot.
    virtual void hold_screen(bool held) { (void)held; }
};

} // namespace platform
