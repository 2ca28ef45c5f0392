#include "scene/SleepTimer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using platform::Micros;

namespace scene {

namespace {

constexpr Micros kMinute = 60'000'000;

} // namespace

void SleepTimer::set(int minutes, Micros now) {
    m_minutes = std::max(minutes, 0);
    m_set_at = now;
    m_end = now + m_minutes * kMinute;
}

int SleepTimer::next() const {
    auto above = std::upper_bound(kSteps.begin(), kSteps.end(), m_minutes);
    return above == kSteps.end() ? 0 : *above;
}

SleepTimer::Phase SleepTimer::phase(Micros now) const {
    if (m_minutes == 0)
        return Phase::Off;
    if (now >= m_end)
        return Phase::Ended;
    return now >= fade_start() ? Phase::Fading : Phase::Counting;
}

int SleepTimer::minutes_left(Micros now) const {
    Phase p = phase(now);
    if (p != Phase::Counting && p != Phase::Fading)
        return 0;
    return static_cast<int>((m_end - now + kMinute - 1) / kMinute);
}

Micros SleepTimer::fade_start() const {
    return std::max(m_set_at, m_end - m_fade);
}

double SleepTimer::level(Micros now) const {
    switch (phase(now)) {
    case Phase::Off:
    case Phase::Counting:
        return 1;
    case Phase::Ended:
        return 0;
    case Phase::Fading:
        break;
    }
    double t = static_cast<double>(now - fade_start()) / static_cast<double>(m_end - fade_start());
    return std::cos(t * std::numbers::pi / 2);
}

} // namespace scene
