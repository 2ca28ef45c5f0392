#include "platform/loop/Timer.h"

#include "platform/Runtime.h"
#include "platform/base/Ref.h"
#include "platform/loop/EventLoop.h"

#include <algorithm>

namespace platform {

namespace {

Micros period_micros(int period_ms) {
    return static_cast<Micros>(std::max(1, period_ms)) * 1000;
}

} // namespace

Timer::~Timer() {
    if (m_scheduled && Runtime::exists())
        Runtime::current().loop().unschedule(*this);
}

void Timer::SetMode(int mode) {
    m_mode = mode;
    if (!Runtime::exists())
        return;
    EventLoop& loop = Runtime::current().loop();
    if (mode == ModeOff) {
        if (m_scheduled)
            loop.unschedule(*this);
        m_scheduled = false;
        return;
    }
    m_deadline = Runtime::current().backend().now() + period_micros(m_period);
    if (!m_scheduled)
        loop.schedule(*this);
    m_scheduled = true;
}

void Timer::fire() {
    Ref<Timer> protector(this);
    Micros due = m_deadline;
    // A single-shot timer is off before its action, so that the action may start it again.
    if (m_mode == ModeSingle) {
        m_mode = ModeOff;
        Runtime::current().loop().unschedule(*this);
        m_scheduled = false;
    }
    Runtime::current().failures().guard([this] { return handler_name(Event::Action); },
                                        [this] { raise(Event::Action); });
    if (m_mode != ModeMultiple || !m_scheduled || m_deadline != due)
        return; // stopped, or restarted by its own action
    // The next deadline follows the last one, not the moment the action ran, so the beat does
    // not drift; after a long stall the timer resumes without a burst of catch-up actions.
    Micros now = Runtime::current().backend().now();
    m_deadline = due + period_micros(m_period);
    if (m_deadline <= now)
        m_deadline = now + period_micros(m_period);
}

} // namespace platform
