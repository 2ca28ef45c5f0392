#include "platform/desktop/BusConnection.h"

#include <systemd/sd-bus.h>

namespace platform {

// Opening sends the greeting and returns: its answer, like every other, is handled as it comes.
std::unique_ptr<BusConnection> BusConnection::opened(int (*open)(sd_bus**)) {
    sd_bus* bus = nullptr;
    if (open(&bus) < 0)
        return nullptr;
    return std::unique_ptr<BusConnection>(new BusConnection(bus));
}

std::unique_ptr<BusConnection> BusConnection::session() {
    return opened(sd_bus_open_user);
}

std::unique_ptr<BusConnection> BusConnection::system() {
    return opened(sd_bus_open_system);
}

BusConnection::~BusConnection() {
    sd_bus_flush_close_unref(m_bus);
}

int BusConnection::fd() const {
    return sd_bus_get_fd(m_bus);
}

short BusConnection::events() const {
    int events = sd_bus_get_events(m_bus);
    return static_cast<short>(events > 0 ? events : 0);
}

bool BusConnection::service() {
    // Until nothing is left queued: only then does the connection ask to be read again.
    int r;
    while ((r = sd_bus_process(m_bus, nullptr)) > 0) {
    }
    return r >= 0 && sd_bus_is_open(m_bus) > 0;
}

} // namespace platform
