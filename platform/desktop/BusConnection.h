#pragma once

#include <memory>

struct sd_bus;

namespace platform {

// A connection to the session bus or the system bus, serviced from the program's own loop:
// nothing happens on the bus's account between services, and nothing ever waits for the bus.
// The services that ride on it (the media controls, the holds on the screen's rest and on
// sleep) share it, each with a reference of its own, so that they stay safe, and do nothing
// more, once it is closed.
class BusConnection {
public:
    // Nothing, quietly, when there is no such bus. The system bus is the one
    // DBUS_SYSTEM_BUS_ADDRESS names, where it is set.
    static std::unique_ptr<BusConnection> session();
    static std::unique_ptr<BusConnection> system();
    ~BusConnection();
    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    sd_bus* bus() const { return m_bus; }
    // The connection, and what to wait on it for (poll's events).
    int fd() const;
    short events() const;
    // Handles whatever the bus sent. False once the connection is lost.
    bool service();

private:
    explicit BusConnection(sd_bus* bus) : m_bus(bus) {}
    static std::unique_ptr<BusConnection> opened(int (*open)(sd_bus**));

    sd_bus* m_bus;
};

} // namespace platform
