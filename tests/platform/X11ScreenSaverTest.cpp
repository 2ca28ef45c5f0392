// The X server's screen saver held off and heard, on a private Xvfb of the test's own; its
// timeout set with xset.
#include "platform/sdl/X11ScreenSaver.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>

// Last: Xlib's macros would rename what follows it.
#include <X11/Xlib.h>

using platform::X11ScreenSaver;
using testing_support::ChildProcess;
using testing_support::TestProgram;
using State = X11ScreenSaver::State;
using namespace std::chrono_literals;

namespace {

class X11ScreenSaverTest : public ::testing::Test {
protected:
    // For the reports of a failing listener.
    TestProgram program{TestProgram::Options::runtime_only()};
    std::unique_ptr<ChildProcess> server;
    std::string display;
    std::vector<State> heard;

    void SetUp() override {
        if (!ChildProcess::exists("Xvfb") || !ChildProcess::exists("xset"))
            GTEST_SKIP() << "Xvfb or xset is not installed";
        // Xvfb picks a free display and tells its number.
        server = std::make_unique<ChildProcess>(
            std::vector<std::string>{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset"});
        ASSERT_TRUE(server->wait_for_line("")) << "Xvfb did not start";
        display = ":" + server->lines().front();
    }

    std::unique_ptr<X11ScreenSaver> open() {
        return X11ScreenSaver::open(display, [this](State s) { heard.push_back(s); });
    }
    void xset(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"xset", "-display", display});
        ASSERT_EQ(ChildProcess::run(arguments), 0);
    }
    // Services the connection as the loop does until done, or for a while when done never is.
    static bool serve_until(X11ScreenSaver& saver, const std::function<bool()>& done,
                            std::chrono::milliseconds patience = 20s) {
        auto give_up = std::chrono::steady_clock::now() + patience;
        while (!done()) {
            if (std::chrono::steady_clock::now() > give_up)
                return false;
            pollfd ready{saver.fd(), POLLIN, 0};
            poll(&ready, 1, 50);
            saver.service();
        }
        return true;
    }
};

} // namespace

TEST_F(X11ScreenSaverTest, TheServerBlankingAndUnblankingTheScreenIsHeard) {
    auto saver = open();
    ASSERT_TRUE(saver);
    EXPECT_TRUE(saver->can_suspend());
    EXPECT_FALSE(saver->state().blanked);
    xset({"s", "activate"});
    ASSERT_TRUE(serve_until(*saver, [&] { return saver->state().blanked; }));
    xset({"s", "reset"});
    ASSERT_TRUE(serve_until(*saver, [&] { return !saver->state().blanked; }));
    EXPECT_EQ(heard, (std::vector<State>{{true, false}, {false, false}}));

    // A screen already blank is known from the start; the monitor's power is asked as often as
    // wanted and tells nothing new.
    xset({"s", "activate"});
    auto later = open();
    EXPECT_TRUE(later->state().blanked);
    later->check_monitor();
    EXPECT_EQ(heard.size(), 2u);
}

TEST_F(X11ScreenSaverTest, WhileSuspendedTheTimeoutNeverBlanksAndOneResumeEndsADoubleSuspend) {
    auto saver = open();
    ASSERT_TRUE(saver);
    xset({"s", "1", "1"});
    saver->suspend(true);
    saver->suspend(true);
    EXPECT_TRUE(saver->suspended());
    xset({"s", "reset"});
    // Two and a half times the timeout of idleness: no blank.
    EXPECT_FALSE(serve_until(
        *saver, [&] { return saver->state().blanked; }, 2500ms));
    saver->suspend(false);
    EXPECT_FALSE(saver->suspended());
    ASSERT_TRUE(serve_until(*saver, [&] { return saver->state().blanked; }));
    EXPECT_EQ(heard, (std::vector<State>{{true, false}}));
}

TEST_F(X11ScreenSaverTest, AFailingListenerEndsOnlyItself) {
    int calls = 0;
    std::unique_ptr<X11ScreenSaver> saver = X11ScreenSaver::open(display, [&](State) {
        if (++calls == 1)
            throw std::runtime_error("the listener broke");
    });
    ASSERT_TRUE(saver);
    program.runtime().failures().set_stream(nullptr);
    xset({"s", "activate"});
    ASSERT_TRUE(serve_until(*saver, [&] { return saver->state().blanked; }));
    ASSERT_EQ(program.failure_count(), 1);
    EXPECT_EQ(program.runtime().failures().records()[0].handler, "X screen saver changed");
    xset({"s", "reset"});
    ASSERT_TRUE(serve_until(*saver, [&] { return !saver->state().blanked; }));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(program.failure_count(), 1);
}

TEST_F(X11ScreenSaverTest, AWatchedWindowIsHeardWhollyCoveredAndUncoveredButNotPartlyCovered) {
    auto saver = open();
    ASSERT_TRUE(saver);
    Display* x = XOpenDisplay(display.c_str());
    ASSERT_TRUE(x);
    ::Window root = DefaultRootWindow(x);
    auto window = [&](int w, int h) {
        ::Window made = XCreateSimpleWindow(x, root, 0, 0, w, h, 0, 0, 0);
        XMapWindow(x, made);
        XSync(x, False);
        return made;
    };
    ::Window shown = window(200, 200);
    saver->watch_window(shown);
    ::Window half = window(100, 200);
    ::Window whole = window(300, 300);
    ASSERT_TRUE(serve_until(*saver, [&] { return saver->state().covered; }));
    XUnmapWindow(x, whole);
    XSync(x, False);
    ASSERT_TRUE(serve_until(*saver, [&] { return !saver->state().covered; }));
    XUnmapWindow(x, half);
    XSync(x, False);
    // Partly covered and uncovered again tell nothing new.
    EXPECT_FALSE(serve_until(
        *saver, [&] { return heard.size() > 2; }, 300ms));
    EXPECT_EQ(heard, (std::vector<State>{{false, false, true}, {false, false, false}}));
    XCloseDisplay(x);
}
