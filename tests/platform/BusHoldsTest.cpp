// The holds on the screen's rest and on sleep against a stand-in service on a private bus of the
// test's own (a dbus-daemon), serviced as the loop would service them.
#include "app/DesktopSession.h"
#include "platform/desktop/BusConnection.h"
#include "platform/desktop/BusHold.h"
#include "platform/desktop/MprisServer.h"
#include "platform/desktop/ScreenSaverHold.h"
#include "platform/desktop/SleepHold.h"
#include "platform/loop/InputEvent.h"
#include "platform/windows/Desktop.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <systemd/sd-bus.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

using platform::BusConnection;
using platform::ScreenSaverHold;
using platform::SleepHold;
using testing_support::ChildProcess;
using testing_support::ScopedEnv;
using testing_support::TestProgram;
namespace fs = std::filesystem;

namespace {

constexpr const char* kScreenSaver = "org.freedesktop.ScreenSaver";
constexpr const char* kLogin = "org.freedesktop.login1";

class BusHolds : public ::testing::Test {
protected:
    explicit BusHolds(TestProgram::Options options = TestProgram::Options::runtime_only())
        : program(options) {}

    // For the reports of a failing listener.
    TestProgram program;
    fs::path folder;
    std::unique_ptr<ChildProcess> daemon;
    std::string address;
    std::optional<ScopedEnv> session_env, system_env;
    std::unique_ptr<BusConnection> own_connection;
    BusConnection* connection = nullptr; // the one serviced
    bool lost = false;
    std::vector<std::unique_ptr<ChildProcess>> stand_ins;

    void SetUp() override {
        if (!ChildProcess::exists("dbus-daemon"))
            GTEST_SKIP() << "dbus-daemon is not installed";
        std::string pattern = (fs::temp_directory_path() / "quorvane-bus-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        daemon = std::make_unique<ChildProcess>(std::vector<std::string>{
            "dbus-daemon", "--session", "--address=unix:path=" + (folder / "bus").string(),
            "--nofork", "--nopidfile", "--print-address", "--syslog-only"});
        ASSERT_TRUE(daemon->wait_for_line("unix:path=")) << "the private bus did not start";
        address = daemon->lines().front();
    }
    void TearDown() override {
        own_connection.reset();
        stand_ins.clear();
        daemon.reset();
        if (!folder.empty())
            fs::remove_all(folder);
    }

    // Points the session or the system bus at the private one, and the other one nowhere.
    void use_bus_as(bool system) {
        std::string nowhere = "unix:path=" + (folder / "nowhere").string();
        session_env.emplace("DBUS_SESSION_BUS_ADDRESS", system ? nowhere : address);
        system_env.emplace("DBUS_SYSTEM_BUS_ADDRESS", system ? address : nowhere);
    }
    // Connects as the program would to the session or the system bus.
    void connect(bool system) {
        use_bus_as(system);
        own_connection = system ? BusConnection::system() : BusConnection::session();
        ASSERT_TRUE(own_connection);
        connection = own_connection.get();
        EXPECT_FALSE(system ? BusConnection::session() : BusConnection::system());
    }
    ChildProcess& start_stand_in(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), QUORVANE_BUS_STANDIN);
        arguments.insert(arguments.begin() + 2, address);
        stand_ins.push_back(std::make_unique<ChildProcess>(arguments));
        EXPECT_TRUE(stand_ins.back()->wait_for_line(" ready ")) << "the stand-in did not start";
        return *stand_ins.back();
    }

    // Services the connection, as the loop does, and reads the stand-ins' logs until done (or
    // a patience meant only to end a hung test).
    bool until(const std::function<bool()>& done) {
        auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > give_up)
                return false;
            std::vector<pollfd> waits = own_waits();
            size_t own = waits.size();
            for (auto& s : stand_ins)
                if (s->output() >= 0)
                    waits.push_back({s->output(), POLLIN, 0});
            poll(waits.data(), waits.size(), 100);
            waits.resize(own);
            serve(waits);
            for (auto& s : stand_ins)
                s->read_output();
        }
        return true;
    }
    // What until() waits on besides the stand-ins, and what it does with them after the wait.
    virtual std::vector<pollfd> own_waits() {
        if (connection && !lost)
            return {{connection->fd(), connection->events(), 0}};
        return {};
    }
    virtual void serve(const std::vector<pollfd>&) { service(); }
    void service() {
        if (connection && !lost)
            lost = !connection->service();
        for (auto& s : stand_ins)
            s->read_output();
    }
    // Once the service has answered a ping sent now, it has seen (and logged) everything sent
    // to it before, and we have heard everything it said before.
    void settle(const char* service_name) {
        service();
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_call_method(connection->bus(), service_name, "/", "org.freedesktop.DBus.Peer",
                           "Ping", &error, nullptr, "");
        sd_bus_error_free(&error);
        service();
    }
    static std::vector<std::string> lines_with(const ChildProcess& p, const std::string& text) {
        std::vector<std::string> found;
        for (const std::string& line : p.lines())
            if (line.find(text) != std::string::npos)
                found.push_back(line);
        return found;
    }
    static bool said(const ChildProcess& p, const std::string& text) {
        return !lines_with(p, text).empty();
    }
    // Takes the hold twice: the service is asked once, as what asked says.
    void expect_taken_once(platform::BusHold& hold, ChildProcess& service, const char* name,
                           const std::string& asked) {
        hold.hold(true);
        hold.hold(true);
        ASSERT_TRUE(until([&] { return hold.held(); }));
        hold.hold(true);
        settle(name);
        auto inhibits = lines_with(service, " Inhibit ");
        ASSERT_EQ(inhibits.size(), 1u);
        EXPECT_NE(inhibits[0].find(asked), std::string::npos) << inhibits[0];
    }
};

// The whole program with its desktop session on the private bus, which stands for both the
// session bus and the system bus.
class SessionHolds : public BusHolds {
protected:
    SessionHolds() : BusHolds(TestProgram::Options{}) {}

    void use_bus_for_both() {
        session_env.emplace("DBUS_SESSION_BUS_ADDRESS", address);
        system_env.emplace("DBUS_SYSTEM_BUS_ADDRESS", address);
    }
    // until() wakes the program's loop for each descriptor it watches that is ready, as a
    // display backend does.
    std::vector<pollfd> own_waits() override {
        std::vector<pollfd> waits;
        for (const auto& [fd, events] : program.backend().watched())
            waits.push_back({fd, events, 0});
        return waits;
    }
    void serve(const std::vector<pollfd>& waits) override {
        for (const pollfd& w : waits)
            if (w.revents)
                program.backend().push(
                    platform::InputEvent(platform::InputEvent::Type::SourceReady, w.fd));
        program.advance(0);
    }
    static size_t count(const ChildProcess& p, const std::string& text) {
        return lines_with(p, text).size();
    }
};

// What a screen saver hold told its listener.
struct Heard {
    std::vector<bool> values;
    std::function<void(bool)> listener() {
        return [this](bool active) {
            values.push_back(active);
        };
    }
};

} // namespace

TEST_F(BusHolds, TheScreenSaverIsHeldOnceHoweverOftenAskedAndLetGoWithItsCookie) {
    connect(false);
    ChildProcess& service = start_stand_in({"screensaver"});
    ScreenSaverHold hold(connection, nullptr);
    ASSERT_NO_FATAL_FAILURE(expect_taken_once(hold, service, kScreenSaver,
                                              " path=/org/freedesktop/ScreenSaver "
                                              "application=\"Quorvane\" "
                                              "reason=\"Showing the night sky\" cookie=1"));

    hold.hold(false);
    EXPECT_FALSE(hold.held());
    ASSERT_TRUE(until([&] { return said(service, " UnInhibit "); }));
    EXPECT_TRUE(said(service, "path=/org/freedesktop/ScreenSaver cookie=1 known=yes"));
    hold.hold(false);

    hold.hold(true);
    ASSERT_TRUE(until([&] { return hold.held(); }));
    settle(kScreenSaver);
    EXPECT_EQ(lines_with(service, " Inhibit ").size(), 2u);
    EXPECT_EQ(lines_with(service, " UnInhibit ").size(), 1u);
    EXPECT_FALSE(said(service, "path=/ScreenSaver"));
}

TEST_F(BusHolds, ADesktopThatServesOnlyTheShortPathIsAskedThereForTheHoldAndItsState) {
    connect(false);
    ChildProcess& service = start_stand_in({"screensaver", "--paths", "short"});
    Heard heard;
    ScreenSaverHold hold(connection, heard.listener());
    hold.hold(true);
    ASSERT_TRUE(until([&] { return hold.held(); }));
    hold.hold(false);
    ASSERT_TRUE(until([&] { return said(service, " UnInhibit "); }));
    EXPECT_TRUE(said(service, " UnInhibit sender="));
    EXPECT_TRUE(said(service, "path=/ScreenSaver cookie=1 known=yes"));
    EXPECT_TRUE(said(service, "Inhibit sender="));
    EXPECT_TRUE(said(service, " GetActive "));
    for (const std::string& call : lines_with(service, " sender="))
        EXPECT_NE(call.find(" path=/ScreenSaver "), std::string::npos) << call;

    service.send("active true");
    ASSERT_TRUE(until([&] { return hold.active(); }));
    EXPECT_EQ(heard.values, std::vector<bool>{true});
}

TEST_F(BusHolds, ACookieThatArrivesAfterTheHoldWasLetGoIsGivenBackAtOnce) {
    connect(false);
    ChildProcess& service = start_stand_in({"screensaver", "--late"});
    ScreenSaverHold hold(connection, nullptr);
    hold.hold(true);
    ASSERT_TRUE(until([&] { return said(service, " Inhibit "); }));
    hold.hold(false);
    service.send("answer");
    ASSERT_TRUE(until([&] { return said(service, " UnInhibit "); }));
    EXPECT_TRUE(said(service, "cookie=1 known=yes"));
    EXPECT_FALSE(hold.held());

    // Let go and taken again before the answer: the hold is kept.
    hold.hold(true);
    ASSERT_TRUE(until([&] { return lines_with(service, " Inhibit ").size() == 2; }));
    hold.hold(false);
    hold.hold(true);
    service.send("answer");
    ASSERT_TRUE(until([&] { return hold.held(); }));
    settle(kScreenSaver);
    EXPECT_EQ(lines_with(service, " UnInhibit ").size(), 1u);
    EXPECT_EQ(lines_with(service, " Inhibit ").size(), 2u);
    hold.hold(false);
    ASSERT_TRUE(until([&] { return said(service, "cookie=2 known=yes"); }));
}

TEST_F(BusHolds, TheScreenSaversStateIsHeardFromTheStartAndAFailingListenerEndsOnlyItself) {
    connect(false);
    ChildProcess& service = start_stand_in({"screensaver"});
    service.send("active true");
    ASSERT_TRUE(service.wait_for_line("ActiveChanged active=true"));
    std::vector<bool> heard;
    bool fail_next = false;
    ScreenSaverHold hold(connection, [&](bool active) {
        heard.push_back(active);
        if (fail_next) {
            fail_next = false;
            throw std::runtime_error("the listener broke");
        }
    });
    ASSERT_TRUE(until([&] { return hold.active(); }));

    fail_next = true;
    program.runtime().failures().set_stream(nullptr);
    service.send("active false");
    ASSERT_TRUE(until([&] { return !hold.active(); }));
    ASSERT_EQ(program.failure_count(), 1);
    EXPECT_NE(program.runtime().failures().records()[0].handler.find("screen saver ActiveChanged"),
              std::string::npos);
    service.send("active true");
    ASSERT_TRUE(until([&] { return hold.active(); }));
    EXPECT_EQ(heard, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(program.failure_count(), 1);
}

TEST_F(BusHolds, AScreenSaverServiceThatComesLaterOrComesBackIsAskedForAHoldStillWanted) {
    connect(false);
    Heard heard;
    ScreenSaverHold hold(connection, heard.listener());
    hold.hold(true);
    settle(kScreenSaver);
    EXPECT_FALSE(hold.held());

    ChildProcess& first = start_stand_in({"screensaver"});
    ASSERT_TRUE(until([&] { return hold.held(); }));
    first.send("active true");
    ASSERT_TRUE(until([&] { return hold.active(); }));

    // Gone: its cookie and its state go with it.
    first.stop();
    ASSERT_TRUE(until([&] { return !hold.held() && !hold.active(); }));
    EXPECT_EQ(heard.values, (std::vector<bool>{true, false}));

    ChildProcess& second = start_stand_in({"screensaver"});
    ASSERT_TRUE(until([&] { return hold.held(); }));
    EXPECT_TRUE(said(second, "cookie=1"));
    hold.hold(false);
    ASSERT_TRUE(until([&] { return said(second, "UnInhibit"); }));
    EXPECT_TRUE(said(second, "cookie=1 known=yes"));

    // Not wanted when a service comes: nothing is asked of it.
    second.stop();
    ChildProcess& third = start_stand_in({"screensaver"});
    settle(kScreenSaver);
    EXPECT_FALSE(said(third, "Inhibit"));
}

TEST_F(BusHolds, ACookieFromAServiceReplacedWhileItWasAskedIsVoidAndTheNewOneIsAsked) {
    connect(false);
    ChildProcess& old_service = start_stand_in({"screensaver", "--late", "--replaceable"});
    ScreenSaverHold hold(connection, nullptr);
    hold.hold(true);
    ASSERT_TRUE(until([&] { return said(old_service, " Inhibit "); }));
    ChildProcess& new_service = start_stand_in({"screensaver", "--replace"});
    settle(kScreenSaver);
    old_service.send("answer");
    ASSERT_TRUE(until([&] { return hold.held(); }));
    EXPECT_TRUE(said(new_service, " Inhibit "));
    hold.hold(false);
    ASSERT_TRUE(until([&] { return said(new_service, " UnInhibit "); }));
    EXPECT_TRUE(said(new_service, "cookie=1 known=yes"));
}

TEST_F(BusHolds, TheScreenSaverHoldRidesOnTheMediaControlsConnection) {
    struct Player : platform::MediaPlayer {
        bool playing() const override { return false; }
        void play_pause() override {}
        void play() override {}
        void pause() override {}
        void stop() override {}
        void raise() override {}
        void quit() override {}
    } player;
    use_bus_as(false);
    ChildProcess& service = start_stand_in({"screensaver"});
    auto controls = platform::MprisServer::connect(player);
    ASSERT_TRUE(controls);
    connection = &controls->connection();
    ScreenSaverHold hold(connection, nullptr);
    hold.hold(true);
    ASSERT_TRUE(until([&] { return hold.held() && !controls->name().empty(); }));
    const char* unique_name = nullptr;
    ASSERT_GE(sd_bus_get_unique_name(connection->bus(), &unique_name), 0);
    EXPECT_TRUE(said(service, std::string("Inhibit sender=") + unique_name + " "));
    EXPECT_EQ(controls->name(), "org.mpris.MediaPlayer2.quorvane");
}

TEST_F(BusHolds, NoBusOrABusThatGoesAwayIsQuietAndHarmless) {
    testing::internal::CaptureStderr();
    {
        ScopedEnv nowhere("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (folder / "none").string());
        EXPECT_FALSE(BusConnection::session());
        ScreenSaverHold hold(nullptr, nullptr);
        hold.hold(true);
        EXPECT_FALSE(hold.held());
        hold.hold(false);
        SleepHold sleep(nullptr);
        sleep.hold(true);
        EXPECT_FALSE(sleep.held());
    }

    connect(false);
    start_stand_in({"screensaver"});
    ScreenSaverHold hold(connection, nullptr);
    hold.hold(true);
    ASSERT_TRUE(until([&] { return hold.held(); }));
    daemon->stop();
    ASSERT_TRUE(until([&] { return lost; }));
    hold.hold(false);
    hold.hold(true);
    EXPECT_FALSE(hold.held());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(BusHolds, SleepIsHeldOnceByTheDescriptorLogindGivesAndLetGoByClosingIt) {
    connect(true);
    ChildProcess& logind = start_stand_in({"login1"});
    SleepHold hold(connection);
    ASSERT_NO_FATAL_FAILURE(expect_taken_once(
        hold, logind, kLogin,
        " what=sleep who=\"Quorvane\" why=\"Playing the beach\" mode=block hold=1"));
    EXPECT_FALSE(said(logind, "released"));

    hold.hold(false);
    ASSERT_TRUE(until([&] { return said(logind, "released hold=1"); }));

    // The hold lives in the descriptor: logind going away and coming back does not end it or
    // take a second one, and neither does the bus going away.
    hold.hold(true);
    ASSERT_TRUE(until([&] { return hold.held(); }));
    logind.stop();
    ChildProcess& again = start_stand_in({"login1"});
    settle(kLogin);
    EXPECT_TRUE(hold.held());
    EXPECT_FALSE(said(again, " Inhibit "));
    daemon->stop();
    ASSERT_TRUE(until([&] { return lost; }));
    EXPECT_TRUE(hold.held());
}

TEST_F(BusHolds, ASleepHoldGivenAfterItWasLetGoIsClosedAtOnceAndOneThatOutlivesTheBusStillEnds) {
    connect(true);
    ChildProcess& logind = start_stand_in({"login1", "--late"});
    SleepHold hold(connection);
    hold.hold(true);
    ASSERT_TRUE(until([&] { return said(logind, " Inhibit "); }));
    hold.hold(false);
    logind.send("answer");
    ASSERT_TRUE(until([&] { return said(logind, "released hold=1"); }));
    EXPECT_FALSE(hold.held());

    hold.hold(true);
    ASSERT_TRUE(until([&] { return said(logind, "hold=2"); }));
    logind.send("answer");
    ASSERT_TRUE(until([&] { return hold.held(); }));
    daemon->stop();
    ASSERT_TRUE(until([&] { return lost && said(logind, "bus-lost"); }));
    EXPECT_FALSE(said(logind, "released hold=2"));
    hold.hold(false);
    ASSERT_TRUE(until([&] { return said(logind, "released hold=2"); }));
}

TEST_F(SessionHolds, TheScreenIsHeldWhileTheSkyIsDrawnAndSleepWhileTheBeachPlays) {
    use_bus_for_both();
    ChildProcess& saver = start_stand_in({"screensaver"});
    ChildProcess& logind = start_stand_in({"login1"});
    platform::Desktop& desktop = program.runtime().desktop();
    app::DesktopSession session({.hold_screen = true, .hold_sleep = true});
    ASSERT_TRUE(until([&] { return said(saver, " Inhibit "); }));
    EXPECT_TRUE(said(saver, "application=\"Quorvane\" reason=\"Showing the night sky\""));

    // At 0 % the screen may blank while the sound plays on; brighter, it is held again.
    desktop.set_brightness(0);
    ASSERT_TRUE(until([&] { return said(saver, " UnInhibit "); }));
    desktop.set_brightness(platform::Surface::kFullBrightness);
    ASSERT_TRUE(until([&] { return count(saver, " Inhibit ") == 2; }));

    // Locked: nothing is drawn and the hold is let go; unlocked, both come back.
    saver.send("active true");
    ASSERT_TRUE(until([&] { return count(saver, " UnInhibit ") == 2; }));
    EXPECT_FALSE(desktop.is_seen());
    long presents = program.backend().present_count();
    program.advance(5000);
    EXPECT_EQ(program.backend().present_count(), presents);
    saver.send("active false");
    ASSERT_TRUE(until([&] { return count(saver, " Inhibit ") == 3; }));
    EXPECT_TRUE(desktop.is_seen());
    EXPECT_GT(program.backend().present_count(), presents);

    // Sleep is held with the beach and let go when it stops, however it stops.
    EXPECT_FALSE(said(logind, " Inhibit "));
    program.click_moon();
    ASSERT_TRUE(until([&] { return said(logind, " Inhibit "); }));
    EXPECT_TRUE(said(logind, "what=sleep who=\"Quorvane\" why=\"Playing the beach\" mode=block"));
    session.player().stop();
    ASSERT_TRUE(until([&] { return said(logind, "released hold=1"); }));
    EXPECT_EQ(count(logind, " Inhibit "), 1u);
    EXPECT_EQ(count(saver, " Inhibit "), 3u);
}

TEST_F(SessionHolds, AllowedToSleepTheSystemBusIsLeftAlone) {
    use_bus_for_both();
    ChildProcess& saver = start_stand_in({"screensaver"});
    ChildProcess& logind = start_stand_in({"login1"});
    {
        app::DesktopSession session({.hold_screen = true, .hold_sleep = false});
        // The session bus alone is watched.
        EXPECT_EQ(program.backend().watched().size(), 1u);
        ASSERT_TRUE(until([&] { return said(saver, " Inhibit "); }));
        // The beach starts in the batch that lets the screen go: anything asked of logind
        // would go out with the screen's release.
        program.runtime().desktop().set_brightness(0);
        program.click_moon();
        ASSERT_TRUE(session.player().playing());
        ASSERT_TRUE(until([&] { return said(saver, " UnInhibit "); }));
        auto a_moment = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        until([&] { return std::chrono::steady_clock::now() > a_moment; });
    }
    EXPECT_FALSE(said(logind, " Inhibit "));
    EXPECT_TRUE(program.backend().watched().empty());
    EXPECT_EQ(program.failure_count(), 0);
}
