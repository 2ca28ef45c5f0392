#pragma once

#include "platform/base/Micros.h"
#include "platform/base/Ref.h"
#include "scene/SleepTimer.h"

#include <array>
#include <string>

namespace platform {
class Timer;
}

namespace scene {

// How the night goes beside the scene: the sleep timer with its soft landing, the user's dimmer
// and the beach fading in at launch, each told by a note. The sound's level is the program's own
// gain on its sounds (the desktop's volume stays as the user left it) and the picture's is the
// desktop's brightness, the dimmer's level times the landing's. Both are stepped by a timer of
// the scene's, ten times a second while something fades and not at all otherwise; the picture
// is set again only when its level changes.
class Night {
public:
    // What D steps through, in percent.
    static constexpr std::array<int, 5> kDimSteps{100, 50, 25, 10, 0};
    // Someone still awake during the fade gets this long again.
    static constexpr int kAwakeMinutes = 15;
    static constexpr int kTickMs = 100;
    static constexpr platform::Micros kFadeIn = 10'000'000;

    // tick is the timer that calls tick(); it is started and stopped here.
    explicit Night(platform::Ref<platform::Timer> tick);

    // How the landing goes: its length, and whether the program ends at the end.
    void configure(int fade_seconds, bool quit_at_end);

    // Sets the sleep timer to minutes (0: off) and tells so.
    void set_sleep(int minutes);
    // T, and a click on the timer's picture.
    void cycle_sleep();
    // What pointing at the timer's picture tells while it runs.
    void tell_minutes_left();
    // Sets the brightness in percent (0 to 100), telling so where asked.
    void set_dim(int percent, bool tell);
    // D.
    void cycle_dim();
    // Starts the beach as the moon does, its sound rising from silence over kFadeIn.
    void play_fading_in();
    // Someone moved the pointer or pressed a key. During the fade sound and picture come back
    // and the timer starts again at kAwakeMinutes; after the landing the sky comes back (the
    // beach stays stopped). Returns whether it woke the night, so that the key that did is
    // taken for no more.
    bool awake();

    void tick();

    bool is_sleep_set() const { return m_sleep.minutes() > 0; }
    bool is_landed() const { return m_landed; }
    int dim_percent() const { return m_dim_percent; }
    const SleepTimer& sleep() const { return m_sleep; }

private:
    // Brings the gain and the brightness to where they are now, lands the night at the timer's
    // end, and times the next tick.
    void update();
    void land();
    // The timer's picture in the strip: lit while the timer runs.
    void show_timer();
    void tell_sleep();

    platform::Ref<platform::Timer> m_tick;
    SleepTimer m_sleep;
    bool m_quit_at_end = false;
    bool m_landed = false;
    int m_dim_percent = 100;
    // While the beach fades in at launch: when it began.
    platform::Micros m_fade_in_from = -1;
    float m_gain = 1;
};

} // namespace scene
