#pragma once

#include "platform/base/Micros.h"
#include "platform/windows/Control.h"

namespace platform {

// A control without a place on screen that raises Action: Mode 0 off, 1 once one Period after
// it is set, 2 every Period. Periods are in milliseconds.
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
    // Called by the event loop when the deadline has come.
    void fire();

    int m_mode = ModeOff;
    int m_period = 1000;
    Micros m_deadline = 0;
    bool m_scheduled = false;
};

} // namespace platform
