#pragma once

#include "platform/desktop/BusHold.h"

#include <cstdint>
#include <functional>

namespace platform {

// Holds off the desktop's screen blanking and locking through org.freedesktop.ScreenSaver on the
// session bus, as video players do (Inhibit as "Quorvane", "Showing the night sky"; UnInhibit
// with its cookie), and hears from the same service whether its screen saver is active: the
// screen blanked or locked. Desktops serve it at /org/freedesktop/ScreenSaver, some only at
// /ScreenSaver; the first is asked first. See BusHold for what holding means.
class ScreenSaverHold : public BusHold {
public:
    // connection is null where there is no session bus. on_active is called, in the
    // connection's services, each time the service says that its screen saver became active or
    // inactive; a failure inside it is reported as any handler's and ends only it. Where no
    // service tells, or once it has gone, the screen saver counts as inactive.
    ScreenSaverHold(BusConnection* connection, std::function<void(bool active)> on_active);
    ~ScreenSaverHold() override;

    bool active() const { return m_active; }

private:
    sd_bus_message* request() override;
    Answer take(sd_bus_message* reply) override;
    void give_back() override;
    bool outlives_service() override;
    void service_changed(bool present) override;

    void ask_active();
    void set_active(bool active);
    // Whether a call made at the path with the given index failed for want of the object there
    // and the other path is to be tried; it is from then on.
    bool moved_on(sd_bus_message* reply, int path);
    void active_answered(sd_bus_message* reply);

    std::function<void(bool)> m_on_active;
    sd_bus_slot* m_active_watch = nullptr;
    sd_bus_slot* m_active_request = nullptr;
    int m_path = 0;        // the path tried now
    int m_asked_path = 0;  // where the hold was asked
    int m_active_path = 0; // where GetActive was asked
    uint32_t m_cookie = 0;
    bool m_active = false;
};

} // namespace platform
