#pragma once

#include <cstdint>

struct sd_bus;
struct sd_bus_slot;
struct sd_bus_message;

namespace platform {

class BusConnection;

// A hold that a service on the bus gives and takes back (the screen's rest, the machine's
// sleep), kept for as long as the program wants it. It rides on a connection that its owner
// services from the loop; it asks without waiting and hears the answers in those services.
// - hold(true) takes it, once however often it is asked; hold(false) lets it go at once, and a
//   hold the service gives after it was let go is given back as soon as it arrives.
// - No bus or no service: nothing happens and nothing is said. A service that appears later,
//   or comes back after it went away, is asked for a hold that is still wanted.
// - The bus going away: a hold that lives on the bus is gone with it, and nothing more is
//   asked; one that lives outside it (a descriptor) is kept until let go.
class BusHold {
public:
    virtual ~BusHold();
    BusHold(const BusHold&) = delete;
    BusHold& operator=(const BusHold&) = delete;

    void hold(bool wanted);
    bool wanted() const { return m_wanted; }
    // Whether the service has given the hold and it is kept.
    bool held() const { return m_held; }

protected:
    // connection is null where there is no bus; service is the bus name the hold is asked of.
    BusHold(BusConnection* connection, const char* service);
    // What a reply to the request said.
    enum class Answer { Given, AskAgain, Refused };

    // The request to send now; null where it cannot be made.
    virtual sd_bus_message* request() = 0;
    // Keeps what makes the hold (Given), or says that a request is to be made again (AskAgain:
    // request() has changed what it asks), or that there is no hold (Refused).
    virtual Answer take(sd_bus_message* reply) = 0;
    // Gives back what take kept.
    virtual void give_back() = 0;
    // The service that gave the hold went away or was replaced; returns whether the hold lives
    // on without it.
    virtual bool outlives_service() = 0;
    // The service's owner changed: present says whether one has the name now.
    virtual void service_changed(bool present) { (void)present; }

    sd_bus* bus() const { return m_bus; }
    // A derived class's destructor lets go here, while what give_back uses is still there.
    void end();

private:
    void send();
    void reply(sd_bus_message* reply);
    void owner_changed(bool gone, bool present);

    sd_bus* m_bus = nullptr;
    sd_bus_slot* m_owner_watch = nullptr;
    sd_bus_slot* m_request = nullptr; // while a request is on its way
    // Counts the service's changes of owner, so that an answer from an owner since replaced is
    // known as such.
    uint32_t m_owners = 0;
    uint32_t m_asked_of = 0;
    bool m_wanted = false;
    bool m_held = false;
};

} // namespace platform
