#pragma once

#include "platform/base/Micros.h"
#include "platform/loop/InputEvent.h"

#include <optional>

namespace platform {

// Where the event loop's events and time come from: a clock, the input, and descriptors the loop
// wants to hear about. A backend on a real display sleeps until something happens; the headless
// one jumps its virtual clock instead.
class EventSource {
public:
    virtual ~EventSource() = default;

    // Monotonic time in microseconds.
    virtual Micros now() = 0;
    // Waits for the next input event until deadline (forever without one). Returns nothing
    // when the deadline passed first.
    virtual std::optional<InputEvent> wait_event(std::optional<Micros> deadline) = 0;
    // The next input event if one is already waiting.
    virtual std::optional<InputEvent> poll_event() = 0;

    // Has the loop wake when fd is ready for events (poll's POLLIN, POLLOUT): a later wait hands
    // a SourceReady event naming it, and fd is left alone from then until it is watched again.
    // events 0 stops watching it. A source with nothing to wait on ignores it.
    virtual void watch(int fd, short events) {
        (void)fd;
        (void)events;
    }

    // The event loop has ended; the ordered shutdown follows.
    virtual void loop_ended() {}
};

} // namespace platform
