#include "scene/Night.h"

#include "common/MediaLibrary.h"
#include "platform/compat/Functions.h"
#include "platform/graphics/Surface.h"
#include "platform/sound/DesktopServices.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/Desktop.h"
#include "platform/windows/Timer.h"
#include "platform/windows/TimerQueue.h"
#include "scene/NoteWindow.h"
#include "scene/Window1.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using platform::Micros;
using platform::Timer;

namespace scene {

namespace {

Micros now() {
    return platform::Desktop::current().timers().now();
}

} // namespace

Night::Night(platform::Ref<Timer> tick) : m_tick(std::move(tick)) {
}

void Night::configure(int fade_seconds, bool quit_at_end) {
    m_sleep.set_fade(Micros{fade_seconds} * 1'000'000);
    m_quit_at_end = quit_at_end;
}

void Night::set_sleep(int minutes) {
    m_sleep.set(minutes, now());
    m_landed = false;
    tell_sleep();
    update();
}

void Night::show_timer() {
    platform::Ref<platform::Picture> picture =
        m_sleep.minutes_left(now()) > 0 ? sleep2() : sleep1();
    platform::Ref<platform::Canvas> canvas = ::Window1()->control_as<platform::Canvas>("Canvas4");
    if (canvas->Backdrop() != picture)
        canvas->SetBackdrop(picture);
}

void Night::cycle_sleep() {
    set_sleep(m_sleep.next());
}

void Night::tell_sleep() {
    ::NoteWindow()->say(is_sleep_set() ? "Sleep in " + std::to_string(m_sleep.minutes()) + " min"
                                       : "Sleep timer off");
}

void Night::tell_minutes_left() {
    if (int left = m_sleep.minutes_left(now()); left > 0)
        ::NoteWindow()->say("Sleep in " + std::to_string(left) + " min");
}

void Night::set_dim(int percent, bool tell) {
    m_dim_percent = std::clamp(percent, 0, 100);
    update();
    if (tell)
        ::NoteWindow()->say("Brightness " + std::to_string(m_dim_percent) + " %");
}

void Night::cycle_dim() {
    auto below = std::find_if(kDimSteps.begin(), kDimSteps.end(),
                              [this](int step) { return step < m_dim_percent; });
    set_dim(below == kDimSteps.end() ? kDimSteps.front() : *below, true);
}

void Night::play_fading_in() {
    if (surf()->IsPlaying())
        return;
    m_fade_in_from = now();
    update();
    ::Window1()->toggle_beach();
}

bool Night::awake() {
    if (m_landed) {
        m_landed = false;
        m_sleep.set(0, now());
        update();
        return true;
    }
    if (m_sleep.phase(now()) != SleepTimer::Phase::Fading)
        return false;
    set_sleep(kAwakeMinutes);
    return true;
}

void Night::tick() {
    update();
}

void Night::update() {
    Micros at = now();
    double level = m_sleep.level(at);
    double rise = 1;
    if (m_fade_in_from >= 0) {
        double t = static_cast<double>(at - m_fade_in_from) / static_cast<double>(kFadeIn);
        // Equal power on the way up too: sin(t * pi / 2).
        rise = t >= 1 ? 1 : std::sin(std::max(t, 0.0) * std::numbers::pi / 2);
        if (t >= 1)
            m_fade_in_from = -1;
    }
    auto gain = static_cast<float>(level * rise);
    if (gain != m_gain) {
        m_gain = gain;
        platform::DesktopServices::current().audio().set_gain(gain);
    }
    // Setting the same brightness again costs nothing: the desktop repaints only on a change.
    platform::Desktop::current().set_brightness(static_cast<uint32_t>(
        std::lround(platform::Surface::kFullBrightness * m_dim_percent / 100.0 * level)));

    SleepTimer::Phase phase = m_sleep.phase(at);
    show_timer();
    if (phase == SleepTimer::Phase::Ended && !m_landed) {
        land();
        return;
    }
    if (phase == SleepTimer::Phase::Fading || m_fade_in_from >= 0) {
        if (m_tick->Mode() != Timer::ModeMultiple || m_tick->Period() != kTickMs) {
            m_tick->SetPeriod(kTickMs);
            m_tick->SetMode(Timer::ModeMultiple);
        }
    } else if (phase == SleepTimer::Phase::Counting) {
        Micros wait = m_sleep.fade_start() - at;
        m_tick->SetPeriod(static_cast<int>(std::max<Micros>((wait + 999) / 1000, 1)));
        m_tick->SetMode(Timer::ModeSingle);
    } else {
        m_tick->SetMode(Timer::ModeOff);
    }
}

// The end of the timer: the beach stops as a click on the moon would stop it, and the screen,
// at brightness 0 already, stays black with nothing drawn; or the program ends.
void Night::land() {
    m_landed = true;
    m_tick->SetMode(Timer::ModeOff);
    if (surf()->IsPlaying())
        ::Window1()->toggle_beach();
    if (m_quit_at_end)
        platform::Quit(0);
}

} // namespace scene
