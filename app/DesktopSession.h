#pragma once

#include "app/BeachPlayer.h"

#include <memory>

namespace platform {
class MprisServer;
class SingleInstance;
} // namespace platform

namespace app {

// The program's place in the desktop session while the loop runs: later starts of the program
// bring it to the front, and the media controls and media keys drive the beach and hear when it
// starts or stops. Everything is serviced on the loop's thread, between its other work.
class DesktopSession {
public:
    // instance is the one-instance lock this start holds, if any; media_controls says whether
    // to serve the session bus's media controls.
    DesktopSession(platform::SingleInstance* instance, bool media_controls);
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    BeachPlayer& player() { return m_player; }
    // Whether the media controls are on the bus.
    bool on_bus() const { return m_mpris != nullptr; }

private:
    void watch_bus();
    short service_bus();
    short answer_later_starts();

    BeachPlayer m_player;
    platform::SingleInstance* m_instance;
    std::unique_ptr<platform::MprisServer> m_mpris;
};

} // namespace app
