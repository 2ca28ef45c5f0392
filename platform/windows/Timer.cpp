#include "platform/windows/Timer.h"

#include "platform/base/FailureLog.h"
#include "platform/base/Ref.h"
#include "platform/windows/Desktop.h"
#include "platform/windows/TimerQueue.h"
#include "platform/windows/Window.h"

#include <algorithm>

namespace platform {

namespace {

Micros period_micros(int period_ms) {
    return static_cast<Micros>(std::max(1, period_ms)) * 1000;
}

} // namespace

Timer::~Timer() {
    leave_queue();
}

void Timer::leave_queue() {
    if (m_queue)
        m_queue->unschedule(*this);
    m_queue = nullptr;
}

void Timer::SetMode(int mode) {
    m_mode = mode;
    if (mode == ModeOff) {
        leave_queue();
        return;
    }
    if (!window())
        return;
    TimerQueue& queue = window()->desktop().timers();
    m_deadline = queue.now() + period_micros(m_period);
    if (!m_queue)
        queue.schedule(*this);
    m_queue = &queue;
}

void Timer::fire(FailureLog& failures) {
    Ref<Timer> protector(this);
    Micros due = m_deadline;
    // A single-shot timer is off before its action, so that the action may start it again.
    if (m_mode == ModeSingle) {
        m_mode = ModeOff;
        leave_queue();
    }
    failures.guard([this] { return handler_name(Event::Action); },
                   [this] { raise(Event::Action); });
    if (m_mode != ModeMultiple || !m_queue || m_deadline != due)
        return; // stopped, or restarted by its own action
    // The next deadline follows the last one, not the moment the action ran, so the beat does
    // not drift; after a long stall the timer resumes without a burst of catch-up actions.
    Micros now = m_queue->now();
    m_deadline = due + period_micros(m_period);
    if (m_deadline <= now)
        m_deadline = now + period_micros(m_period);
}

} // namespace platform
