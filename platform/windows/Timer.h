#pragma once

#include "platform/base/Micros.h"
#include "platform/windows/Control.h"

namespace platform {

class FailureLog;
class TimerQueue;

// A control without a place on screen that raises Action: Mode 0 off, 1 once one Period after
// it is set, 2 every Period. Periods are in milliseconds. It counts on its window's loop, so it
// runs once it is in a window.
class Timer : public Control {
public:
    enum ModeValue { ModeOff = 0, ModeSingle = 1, ModeMultiple = 2 };

    ~Timer() override;

    int Mode() const { return m_mode; }
    // Setting a mode other than off (re)starts the count from now.
    void SetMode(int mode);
    int Period() const { return m_period; }
    // A new period counts from the next interval.
    void SetPeriod(int period_ms) { m_period = period_ms; }

    // When it next fires, while it is on.
    Micros deadline() const { return m_deadline; }

private:
    friend class EventLoop;
    // Called by the event loop when the deadline has come; a failure of the action goes to
    // failures.
    void fire(FailureLog& failures);
    void leave_queue();

    int m_mode = ModeOff;
    int m_period = 1000;
    Micros m_deadline = 0;
    // The loop it is scheduled in while it is on.
    TimerQueue* m_queue = nullptr;
};

} // namespace platform
