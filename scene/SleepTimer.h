#pragma once

#include "platform/base/Micros.h"

#include <array>

namespace scene {

// The sleep timer's reckoning, asked at a time: how long is left, and how loud and bright the
// night is on the way to its end. Over the last stretch (the fade) the level falls from 1 to 0
// on an equal-power curve, cos(t * pi / 2) for t from 0 to 1, so that the sound's power falls
// evenly and nothing seems to drop off at the end.
class SleepTimer {
public:
    enum class Phase {
        Off,
        Counting, // set, not fading yet
        Fading,
        Ended, // ran out; stays so until set again
    };
    // What T steps through after Off.
    static constexpr std::array<int, 5> kSteps{15, 30, 45, 60, 90};

    void set_fade(platform::Micros fade) { m_fade = fade; }
    // Counts minutes from now; 0 turns the timer off.
    void set(int minutes, platform::Micros now);
    // The step after the minutes set: the first of kSteps above them, 0 (Off) after the last.
    int next() const;
    // As set; 0 while off.
    int minutes() const { return m_minutes; }

    Phase phase(platform::Micros now) const;
    // Whole minutes left, a part of one counting as one; 0 unless counting or fading.
    int minutes_left(platform::Micros now) const;
    // Where the fade starts: the fade's length before the end, or when the timer was set where
    // it was set for less than that.
    platform::Micros fade_start() const;
    platform::Micros end() const { return m_end; }
    // 1 until the fade, 0 at its end and after.
    double level(platform::Micros now) const;

private:
    int m_minutes = 0;
    platform::Micros m_set_at = 0;
    platform::Micros m_end = 0;
    platform::Micros m_fade = 60'000'000;
};

} // namespace scene
