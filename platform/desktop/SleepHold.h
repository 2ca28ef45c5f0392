#pragma once

#include "platform/desktop/BusHold.h"

namespace platform {

// Holds off the machine's automatic sleep through logind on the system bus (Inhibit "sleep" as
// "Quorvane", "Playing the beach", in block mode). logind answers with a descriptor: the hold
// lasts while it is open and is let go by closing it, so it outlives the bus itself. See BusHold
// for what holding means.
class SleepHold : public BusHold {
public:
    // connection is null where there is no system bus.
    explicit SleepHold(BusConnection* connection);
    ~SleepHold() override;

private:
    sd_bus_message* request() override;
    Answer take(sd_bus_message* reply) override;
    void give_back() override;
    bool outlives_service() override { return true; }

    int m_fd = -1;
};

} // namespace platform
