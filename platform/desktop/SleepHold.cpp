#include "platform/desktop/SleepHold.h"

#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace platform {

SleepHold::SleepHold(BusConnection* connection) : BusHold(connection, "org.freedesktop.login1") {
}

SleepHold::~SleepHold() {
    end();
}

sd_bus_message* SleepHold::request() {
    sd_bus_message* message = nullptr;
    if (sd_bus_message_new_method_call(bus(), &message, "org.freedesktop.login1",
                                       "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                       "Inhibit") < 0 ||
        sd_bus_message_append(message, "ssss", "sleep", "Quorvane", "Playing the beach", "block") <
            0)
        return sd_bus_message_unref(message);
    return message;
}

BusHold::Answer SleepHold::take(sd_bus_message* reply) {
    int fd = -1;
    if (sd_bus_message_is_method_error(reply, nullptr) || sd_bus_message_read(reply, "h", &fd) < 0)
        return Answer::Refused;
    // The reply's own copy closes with it; ours stays out of the programs the program starts.
    m_fd = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    return m_fd < 0 ? Answer::Refused : Answer::Given;
}

void SleepHold::give_back() {
    close(m_fd);
    m_fd = -1;
}

} // namespace platform
