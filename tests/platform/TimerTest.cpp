#include "platform/windows/Timer.h"
#include "platform/windows/ImplicitInstance.h"
#include "platform/windows/Window.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

using platform::Event;
using platform::Micros;
using platform::Ref;
using platform::Timer;
using testing_support::TestProgram;

namespace {

class TimerWindow : public platform::Window {
public:
    std::string ClassName() const override { return "TimerWindow"; }
    void CreateControls() override { add<Timer>("t"); }
};

struct Fixture {
    TestProgram program{options()};
    Ref<Timer> timer;
    std::vector<Micros> fired;
    std::function<void()> in_action;

    Fixture() {
        timer = platform::implicit_instance<TimerWindow>("TimerWindow")->control_as<Timer>("t");
        timer->bind(Event::Action, [this](const platform::EventArgs&) {
            fired.push_back(program.backend().now() / 1000);
            if (in_action)
                in_action();
            return false;
        });
    }
    static TestProgram::Options options() { return TestProgram::Options::runtime_only(); }
};

} // namespace

TEST(Timer, ModesOffSingleAndMultiple) {
    Fixture f;
    f.timer->SetPeriod(100);
    f.program.advance(1000);
    EXPECT_TRUE(f.fired.empty());

    f.timer->SetMode(Timer::ModeSingle);
    f.program.advance(1000);
    EXPECT_EQ(f.fired, (std::vector<Micros>{1100}));
    EXPECT_EQ(f.timer->Mode(), Timer::ModeOff);

    f.timer->SetMode(Timer::ModeMultiple);
    f.program.advance(350);
    EXPECT_EQ(f.fired, (std::vector<Micros>{1100, 2100, 2200, 2300}));
    f.timer->SetMode(Timer::ModeOff);
    f.program.advance(1000);
    EXPECT_EQ(f.fired.size(), 4u);
}

TEST(Timer, APeriodChangedInsideItsActionCountsFromTheNextInterval) {
    Fixture f;
    f.timer->SetPeriod(250);
    f.timer->SetMode(Timer::ModeMultiple);
    std::vector<int> periods{100, 500, 50};
    size_t next = 0;
    f.in_action = [&] {
        if (next < periods.size())
            f.timer->SetPeriod(periods[next++]);
    };
    f.program.advance(1000);
    EXPECT_EQ(f.fired, (std::vector<Micros>{250, 350, 850, 900, 950, 1000}));
}

TEST(Timer, ActionsKeepTheirBeatWithoutDriftWhenTheLoopWakesLate) {
    Fixture f;
    f.program.backend().set_lateness(3000);
    f.timer->SetPeriod(75);
    f.timer->SetMode(Timer::ModeMultiple);
    f.program.advance(75.0 * 10000);
    // Each action runs 3 ms after its deadline, and the next deadline follows the last one.
    ASSERT_EQ(f.fired.size(), 10000u);
    for (size_t i = 0; i < f.fired.size(); ++i)
        ASSERT_EQ(f.fired[i], 75 * static_cast<Micros>(i + 1) + 3) << "action " << i;
}

TEST(Timer, AfterAStallItResumesOnePeriodLaterWithoutABurst) {
    Fixture f;
    f.timer->SetPeriod(75);
    f.timer->SetMode(Timer::ModeMultiple);
    f.program.advance(150);
    // The machine stalls for a second in the next wait.
    f.program.backend().set_lateness(1'000'000);
    f.program.advance(1);
    f.program.backend().set_lateness(0);
    f.program.advance(200);
    EXPECT_EQ(f.fired, (std::vector<Micros>{75, 150, 1151, 1226, 1301}));
}

TEST(Timer, AFailingActionKeepsTheTimerRunning) {
    Fixture f;
    f.timer->SetPeriod(100);
    f.timer->SetMode(Timer::ModeMultiple);
    f.in_action = [] {
        throw platform::NilObjectException("test");
    };
    f.program.advance(1000);
    EXPECT_EQ(f.fired.size(), 10u);
    EXPECT_EQ(f.program.failure_count(), 10);
    EXPECT_EQ(f.timer->Mode(), Timer::ModeMultiple);
}

TEST(Timer, AWindowAndARunningTimerHeldPastTheRuntimeGoQuietly) {
    Ref<platform::Window> window;
    Ref<Timer> timer;
    {
        Fixture f;
        f.timer->SetMode(Timer::ModeMultiple);
        window = platform::implicit_instance<TimerWindow>("TimerWindow");
        timer = f.timer;
    }
    // Neither reaches for the loop or the desktop that are gone (the sanitizer build would
    // see it).
    EXPECT_EQ(timer->Mode(), Timer::ModeMultiple);
    window = nullptr;
    timer->SetMode(Timer::ModeOff);
    timer = nullptr;
}
