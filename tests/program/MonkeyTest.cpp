// Long seeded random runs of the whole program: pointer moves, presses, drags, releases, keys and
// clock advances aimed at every control, over days of virtual time, with what must always hold
// checked after every step. A failure names its seed; QUORVANE_MONKEY_SEED replays one and
// QUORVANE_MONKEY_EVENTS sets the length of a run.
#include "about/aboutWin.h"
#include "common/MediaLibrary.h"
#include "platform/compat/System.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/ImplicitInstance.h"
#include "platform/windows/StaticText.h"
#include "platform/windows/Timer.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"
#include "volume/loudnessWin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <random>

using platform::Canvas;
using platform::Rect;
using platform::Ref;
using platform::StaticText;
using platform::Timer;
using testing_support::FakeMedia;
using testing_support::TestProgram;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

long env_or(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

class Monkey {
public:
    explicit Monkey(uint64_t seed) : m_rng(seed) {}

    // Runs the given number of events through as many lives of the program as quitting makes.
    void run(long events) {
        while (m_events < events) {
            live(events);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }

    long lives() const { return m_lives; }
    double virtual_days() const { return m_virtual_ms / 86400000.0; }

private:
    void live(long events) {
        ++m_lives;
        // The two shared pointer shapes live for the process once made: made before counting.
        platform::System::Cursors::StandardPointer();
        int64_t objects_before = platform::Object::live_count();
        {
            TestProgram::Options options;
            options.width = kWidth;
            options.height = kHeight;
            TestProgram program(options, platform::make_ref<FakeMedia>(FakeMedia::Size::Small));
            program.backend().set_random_seed(m_rng());
            int64_t settled = -1;
            while (m_events < events && !program.runtime().loop().quit_requested()) {
                step(program);
                ++m_events;
                check(program);
                if (::testing::Test::HasFatalFailure())
                    return;
                // Once both windows exist and every control has run, the count of objects
                // stays put.
                if (settled < 0 && m_events % 2000 == 0 &&
                    program.runtime().desktop().implicit_window("aboutWin.aboutWin") &&
                    program.runtime().desktop().implicit_window("loudnessWin.loudnessWin"))
                    settled = platform::Object::live_count();
                if (settled >= 0) {
                    ASSERT_LE(platform::Object::live_count(), settled + 16) << "objects pile up";
                }
            }
            if (!program.runtime().loop().quit_requested())
                program.key("Q");
            ASSERT_EQ(program.shut_down(), 0);
        }
        ASSERT_EQ(platform::Object::live_count(), objects_before) << "a life leaked objects";
    }

    // A point on something worth poking at, or anywhere.
    platform::Point target() {
        Ref<scene::Window1> scene = Window1();
        std::vector<Rect> places{
            {0, 0, kWidth, kHeight},
            {400, 0, kWidth - 400, 25}, // the strip right of the long Quit label
            scene->control_as<Canvas>("Canvas2")->bounds(),
            scene->control_as<Canvas>("Canvas3")->bounds(),
            scene->control_as<Canvas>("Canvas4")->bounds(),
            scene->control_as<StaticText>("StaticText2")->bounds(),
            scene->control_as<Canvas>("starcan1")->bounds(),
            {kWidth - 211, 1, 42, 180},
            {kWidth - 211 + 13, 1 + 31, 20, 140},
            {(kWidth - 141) / 2, (kHeight - 122) / 2, 141, 122},
            {(kWidth - 141) / 2 + 20, (kHeight - 122) / 2 + 23, 100, 16},
            {(kWidth - 141) / 2 + 20, (kHeight - 122) / 2 + 70, 100, 14},
        };
        // The word Quit ends a life: rarely aimed at on purpose.
        if (pick(15) == 0) {
            Rect quit = scene->control_as<StaticText>("StaticText1")->bounds();
            places.push_back({quit.x, quit.y, 35, quit.h});
        }
        const Rect& r = places[pick(places.size())];
        int x = r.x + static_cast<int>(pick(static_cast<size_t>(std::max(1, r.w + 4)))) - 2;
        int y = r.y + static_cast<int>(pick(static_cast<size_t>(std::max(1, r.h + 4)))) - 2;
        return {x, y};
    }

    void step(TestProgram& program) {
        size_t action = pick(100);
        if (action < 45) {
            platform::Point p = target();
            program.move(p.x, p.y);
        } else if (action < 60) {
            platform::Point p = target();
            program.click(p.x, p.y);
        } else if (action < 68) {
            // A drag: press, a few moves (some repeated in place), release somewhere.
            platform::Point p = target();
            program.move(p.x, p.y);
            program.press(p.x, p.y);
            for (size_t i = pick(6); i > 0; --i) {
                platform::Point q = pick(3) == 0 ? p : target();
                program.move(q.x, q.y);
                p = q;
            }
            platform::Point end = target();
            program.release(end.x, end.y);
        } else if (action < 72) {
            platform::Point p = target();
            if (pick(2))
                program.press(p.x, p.y);
            else
                program.release(p.x, p.y);
        } else if (action < 75) {
            static const char* keys[] = {"A", "Z",     "X",      "C",  "V",    "1", "W",
                                         "T", "Space", "Escape", "Up", "Down", "D", "Q"};
            constexpr size_t kQuit = std::size(keys) - 1;
            size_t k = pick(std::size(keys));
            // Ctrl+Q ends a life; it gets its turn now and then.
            bool ctrl = pick(2) == 0 && (k != kQuit || pick(50) == 0);
            program.key(keys[k], ctrl);
        } else {
            // Time passes: mostly moments, sometimes half a minute, now and then hours.
            size_t kind = pick(1000);
            double ms = kind < 900   ? double(pick(2000))
                        : kind < 999 ? double(pick(30000))
                                     : double(pick(7200000));
            m_virtual_ms += ms;
            program.advance(ms);
        }
    }

    void check(TestProgram& program) {
        Ref<scene::Window1> scene = Window1();
        auto star = [&](const char* name) {
            return scene->control_as<Canvas>(name)->Backdrop();
        };
        ASSERT_EQ(star("starcan1"), star("starcan5")) << where();
        ASSERT_NE(star("starcan1"), star("starcan4")) << where();
        ASSERT_NE(star("starcan2"), star("starcan3")) << where();
        ASSERT_GE(scene->count, 0) << where();
        ASSERT_LE(scene->count, 11) << where();

        int splash_timer = scene->control_as<Timer>("Timer2")->Mode();
        int surf2_timer = scene->control_as<Timer>("Timer3")->Mode();
        bool playing = surf()->IsPlaying();
        ASSERT_TRUE(splash_timer == Timer::ModeOff || splash_timer == Timer::ModeMultiple)
            << where();
        ASSERT_TRUE(surf2_timer == Timer::ModeOff || surf2_timer == Timer::ModeSingle) << where();
        ASSERT_TRUE(splash_timer == Timer::ModeOff || playing) << where();
        ASSERT_TRUE(surf2_timer == Timer::ModeOff || splash_timer == Timer::ModeMultiple)
            << where();
        ASSERT_TRUE(!surf2()->IsPlaying() || playing) << where();

        ASSERT_EQ(scene->control_as<StaticText>("StaticText1")->Visible(),
                  scene->control_as<StaticText>("StaticText2")->Visible())
            << where();
        Ref<platform::Window> panel =
            program.runtime().desktop().implicit_window("loudnessWin.loudnessWin");
        bool panel_active = panel && program.runtime().desktop().active_window() == panel.get();
        ASSERT_EQ(scene->showing, panel_active) << where();
        // The picture is never brighter than the dimmer sets it, and only the sleep timer's
        // landing or the beach rising keeps the night's tick going.
        ASSERT_LE(program.runtime().desktop().brightness(),
                  static_cast<uint32_t>(std::lround(256 * scene->night().dim_percent() / 100.0)))
            << where();
        ASSERT_TRUE(scene->control_as<Timer>("Timer4")->Mode() == Timer::ModeOff ||
                    scene->night().is_sleep_set() || surf()->IsPlaying())
            << where();
        ASSERT_EQ(program.failure_count(), 0) << program.reports() << where();
    }

    std::string where() const {
        return "after event " + std::to_string(m_events) + " of life " + std::to_string(m_lives);
    }

    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

    std::mt19937_64 m_rng;
    long m_events = 0;
    long m_lives = 0;
    double m_virtual_ms = 0;
};

} // namespace

TEST(Monkey, LongRandomRunsKeepEveryRule) {
    uint64_t seed = static_cast<uint64_t>(env_or("QUORVANE_MONKEY_SEED", 20261206));
    long events = env_or("QUORVANE_MONKEY_EVENTS", 200000);
    SCOPED_TRACE("replay with QUORVANE_MONKEY_SEED=" + std::to_string(seed));
    Monkey monkey(seed);
    monkey.run(events);
    RecordProperty("lives", static_cast<int>(monkey.lives()));
    std::printf("monkey: %ld events, %ld lives, %.1f days of virtual time\n", events,
                monkey.lives(), monkey.virtual_days());
}
