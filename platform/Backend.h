#pragma once

#include "platform/base/Micros.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"
#include "platform/graphics/TextRenderer.h"
#include "platform/loop/CursorShape.h"
#include "platform/loop/InputEvent.h"
#include "platform/sound/AudioDevice.h"
#include "platform/sound/OutputVolume.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// What the runtime needs of the machine it runs on: a clock, a screen buffer that can be
// presented in parts, input, the pointer and the desktop's services. The SDL backend talks to
// the real display and sound server; the headless backend keeps a virtual clock, an in-memory
// screen and a record of every effect, for tests.
class Backend {
public:
    virtual ~Backend() = default;

    // Monotonic time in microseconds.
    virtual Micros now() = 0;
    // Waits for the next input event until deadline (forever without one). Returns nothing
    // when the deadline passed first.
    virtual std::optional<InputEvent> wait_event(std::optional<Micros> deadline) = 0;
    // The next input event if one is already waiting.
    virtual std::optional<InputEvent> poll_event() = 0;

    // The screen buffer; its size is the screen's size. Valid until the next wait_event.
    virtual Surface screen() = 0;
    // Sends the given parts of the screen buffer to the display.
    virtual void present(const Region& region) = 0;

    virtual void set_cursor_shape(CursorShape shape) = 0;
    virtual void set_cursor_visible(bool visible) = 0;
    // Hides the pointer until it next moves.
    virtual void obscure_cursor() = 0;

    virtual void open_url(const std::string& url) = 0;
    virtual AudioDevice& audio() = 0;
    virtual OutputVolume& output_volume() = 0;
    virtual TextRenderer& text() = 0;

    // Has the loop wake when fd is ready for events (poll's POLLIN, POLLOUT): a later wait hands
    // a SourceReady event naming it, and fd is left alone from then until it is watched again.
    // events 0 stops watching it. A backend with nothing to wait on ignores it.
    virtual void watch(int fd, short events) {
        (void)fd;
        (void)events;
    }
    // Brings the scene to the front of the desktop. token is the activation token a launcher
    // gave the program's second start, empty when there was none.
    virtual void raise(const std::string& token) { (void)token; }

    // The event loop has ended; the ordered shutdown follows.
    virtual void loop_ended() {}

    // Seed for a new random generator.
    virtual uint64_t random_seed() = 0;
};

} // namespace platform
