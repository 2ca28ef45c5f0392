#pragma once

#include "app/BeachPlayer.h"

#include <memory>

namespace platform {
class BusConnection;
class MprisServer;
class ScreenSaverHold;
class SingleInstance;
class SleepHold;
} // namespace platform

namespace app {

// What the program takes on in the desktop session while it runs: none of it in tests.
struct SessionOptions {
    // The one-instance lock this start holds; later starts bring the scene forward through it.
    platform::SingleInstance* instance = nullptr;
    // Serve the desktop's media controls on the session bus.
    bool media_controls = false;
    // Hold off the desktop's screen blanking and locking on the session bus while the scene is
    // seen, and hear from there when the screen is locked.
    bool hold_screen = false;
    // Hold off the machine's automatic sleep through logind while the beach plays.
    bool hold_sleep = false;
};

// The program's place in the desktop session while the loop runs: later starts of the program
// bring it to the front, the media controls and media keys drive the beach and hear when it
// starts or stops, and the holds on the screen's rest and on sleep follow what is shown and
// heard. Everything is serviced on the loop's thread, between its other work.
class DesktopSession {
public:
    explicit DesktopSession(const SessionOptions& options);
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    BeachPlayer& player() { return m_player; }
    // Whether the media controls are on the bus.
    bool on_bus() const { return m_mpris != nullptr; }

private:
    // The session bus the media controls or the screen's hold ride on; null without one.
    platform::BusConnection* session_bus() const;
    void watch(platform::BusConnection& bus);
    short service(platform::BusConnection& bus);
    // After each batch of work: the holds follow the picture and the beach.
    void follow();
    short answer_later_starts();

    BeachPlayer m_player;
    platform::SingleInstance* m_instance;
    std::unique_ptr<platform::MprisServer> m_mpris;
    // The session bus where the media controls are not served on it.
    std::unique_ptr<platform::BusConnection> m_session;
    std::unique_ptr<platform::BusConnection> m_system;
    // After the connections, so that they let go first.
    std::unique_ptr<platform::ScreenSaverHold> m_screen_hold;
    std::unique_ptr<platform::SleepHold> m_sleep_hold;
};

} // namespace app
