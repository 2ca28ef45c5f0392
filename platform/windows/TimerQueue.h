#pragma once

#include "platform/base/Micros.h"

namespace platform {

class Timer;

// What a window's timers need of the loop that runs them: its clock, and a place among its
// deadlines while they are on. The event loop is one.
class TimerQueue {
public:
    virtual Micros now() = 0;
    virtual void schedule(Timer& timer) = 0;
    virtual void unschedule(Timer& timer) = 0;

protected:
    ~TimerQueue() = default;
};

} // namespace platform
