#include "platform/windows/Canvas.h"
#include "platform/windows/ImplicitInstance.h"
#include "platform/windows/Window.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

using platform::Canvas;
using platform::Event;
using platform::Ref;
using testing_support::TestProgram;

namespace {

// A window that records every pointer event it and its controls get.
class ProbeWindow : public platform::Window {
public:
    std::string ClassName() const override { return "ProbeWindow"; }
    std::vector<std::string> log;
    bool window_takes_press = true;
    bool inner_takes_press = true;

    void Layout() override {
        SetWidth(300);
        SetHeight(200);
        SetLeft(100);
        SetTop(50);
        SetHasBackColor(true);
        SetVisible(true);
    }
    void CreateControls() override {
        // outer (10,10 100x100) holds inner (20,20 30x30); a sibling overlaps outer's corner.
        Ref<Canvas> outer = add<Canvas>("outer");
        outer->SetBounds(10, 10, 100, 100);
        Ref<Canvas> inner = add<Canvas>("inner");
        inner->SetBounds(20, 20, 30, 30);
        inner->SetParent(outer.get());
        Ref<Canvas> sibling = add<Canvas>("sibling");
        sibling->SetBounds(90, 90, 50, 50);
        for (const char* name : {"outer", "inner", "sibling"})
            record(*control_as<Canvas>(name));
    }
    bool Event_MouseDown(int x, int y) override {
        log.push_back("window down " + std::to_string(x) + "," + std::to_string(y));
        return window_takes_press;
    }
    void Event_MouseUp(int x, int y) override {
        log.push_back("window up " + std::to_string(x) + "," + std::to_string(y));
    }
    void Event_MouseEnter() override { log.push_back("window enter"); }
    void Event_MouseExit() override { log.push_back("window exit"); }
    void Event_Activate() override { log.push_back("activate"); }
    void Event_Deactivate() override { log.push_back("deactivate"); }

private:
    void record(Canvas& c) {
        std::string n = c.Name();
        for (auto [event, what] : {std::pair{Event::MouseEnter, " enter"},
                                   {Event::MouseExit, " exit"},
                                   {Event::MouseDown, " down "},
                                   {Event::MouseDrag, " drag "},
                                   {Event::MouseUp, " up "}})
            c.bind(event, [this, n, event, what](const platform::EventArgs& a) {
                bool at = event != Event::MouseEnter && event != Event::MouseExit;
                log.push_back(n + what +
                              (at ? std::to_string(a.x) + "," + std::to_string(a.y) : ""));
                return event == Event::MouseDown && n == "inner" && inner_takes_press;
            });
    }
};

struct Fixture {
    TestProgram program;
    Ref<ProbeWindow> probe;
    Fixture() : program(options()) {
        probe = platform::implicit_instance<ProbeWindow>("ProbeWindow");
        probe->log.clear();
    }
    static TestProgram::Options options() { return TestProgram::Options::screen(800, 600); }
    std::vector<std::string> take() { return std::exchange(probe->log, {}); }
};

using Log = std::vector<std::string>;

} // namespace

TEST(PointerDispatch, EnterAndExitFollowTheControlsEdgesWithChildrenCountingAsInside) {
    Fixture f;
    f.program.move(100 + 15, 50 + 15); // on outer
    EXPECT_EQ(f.take(), (Log{"window enter", "outer enter"}));
    f.program.move(100 + 35, 50 + 35); // onto inner, which lies inside outer
    EXPECT_EQ(f.take(), (Log{"inner enter"}));
    f.program.move(100 + 36, 50 + 36);
    EXPECT_EQ(f.take(), Log{});
    f.program.move(100 + 95, 50 + 95); // onto the overlapping sibling: it is on top
    EXPECT_EQ(f.take(), (Log{"inner exit", "outer exit", "sibling enter"}));
    f.program.move(100 + 250, 50 + 150); // the window's own background
    EXPECT_EQ(f.take(), (Log{"sibling exit"}));
    f.program.move(700, 500); // off the window onto the scene
    EXPECT_EQ(f.take(), (Log{"window exit"}));
}

TEST(PointerDispatch, APressTakenByAControlCapturesDragsAndTheOneRelease) {
    Fixture f;
    f.program.move(130, 80);
    f.take();
    f.program.press(130, 80); // inner at (10, 10)
    EXPECT_EQ(f.take(), (Log{"inner down 10,10"}));
    f.program.move(400, 300); // far outside: still the inner canvas's, no exits yet
    f.program.move(400, 300); // repeated at one position
    EXPECT_EQ(f.take(), (Log{"inner drag 280,230", "inner drag 280,230"}));
    f.program.release(400, 300);
    EXPECT_EQ(f.take(), (Log{"inner up 280,230", "inner exit", "outer exit", "window exit"}));
}

TEST(PointerDispatch, APressNobodyTakesGoesToTheParentThenTheWindow) {
    Fixture f;
    f.probe->inner_takes_press = false;
    f.program.move(130, 80);
    f.take();
    f.program.press(130, 80);
    EXPECT_EQ(f.take(), (Log{"inner down 10,10", "outer down 20,20", "window down 30,30"}));
    f.program.move(131, 81);
    f.program.release(131, 81);
    EXPECT_EQ(f.take(), (Log{"window up 31,31"}));

    f.probe->window_takes_press = false;
    f.program.press(131, 81);
    f.program.release(131, 81);
    EXPECT_EQ(f.take(), (Log{"inner down 11,11", "outer down 21,21", "window down 31,31"}));
}

TEST(PointerDispatch, HiddenControlsAndWindowsAreNotHitAndAWindowShownUnderThePointerIsEntered) {
    Fixture f;
    f.probe->control_as<Canvas>("outer")->SetVisible(false);
    f.program.move(130, 80); // inner is hidden with its parent
    EXPECT_EQ(f.take(), (Log{"window enter"}));
    f.probe->Hide();
    f.program.advance(0);
    EXPECT_EQ(f.take(), (Log{"deactivate", "window exit"}));
    f.program.click(130, 80);
    EXPECT_EQ(f.take(), Log{});

    f.probe->control_as<Canvas>("outer")->SetVisible(true);
    f.probe->Show();
    f.program.advance(0);
    EXPECT_EQ(f.take(), (Log{"activate", "window enter", "outer enter", "inner enter"}));
}

TEST(PointerDispatch, AFailingHandlerIsReportedByNameAndTheLoopGoesOn) {
    Fixture f;
    f.probe->control_as<Canvas>("sibling")->bind(Event::MouseUp,
                                                 [](const platform::EventArgs&) -> bool {
                                                     Ref<platform::Picture> none;
                                                     return none->Width() > 0;
                                                 });
    f.probe->control_as<Canvas>("sibling")->bind(Event::MouseDown,
                                                 [](const platform::EventArgs&) { return true; });
    for (int i = 0; i < 3; ++i)
        f.program.click(195, 145);
    EXPECT_EQ(f.program.failure_count(), 3);
    std::string reports = f.program.reports();
    EXPECT_NE(reports.find("ProbeWindow.sibling_MouseUp failed: nil object"), std::string::npos);
    // Repeats are counted, not printed again.
    EXPECT_EQ(std::count(reports.begin(), reports.end(), '\n'), 1);
    f.program.advance(1000);
    EXPECT_FALSE(f.program.runtime().loop().quit_requested());
}
