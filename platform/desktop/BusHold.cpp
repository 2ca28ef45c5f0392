#include "platform/desktop/BusHold.h"

#include "platform/desktop/BusConnection.h"

#include <systemd/sd-bus.h>

#include <string>

namespace platform {

BusHold::BusHold(BusConnection* connection, const char* service) {
    if (!connection)
        return;
    m_bus = sd_bus_ref(connection->bus());
    // Before anything is asked, so that an owner that comes after a refusal is heard of.
    std::string rule = std::string("type='signal',sender='org.freedesktop.DBus',"
                                   "path='/org/freedesktop/DBus',interface='org.freedesktop.DBus',"
                                   "member='NameOwnerChanged',arg0='") +
                       service + "'";
    auto changed = [](sd_bus_message* signal, void* userdata, sd_bus_error*) {
        const char *name = nullptr, *old_owner = nullptr, *new_owner = nullptr;
        if (sd_bus_message_read(signal, "sss", &name, &old_owner, &new_owner) >= 0)
            static_cast<BusHold*>(userdata)->owner_changed(*old_owner != '\0', *new_owner != '\0');
        return 0;
    };
    sd_bus_add_match_async(m_bus, &m_owner_watch, rule.c_str(), changed, nullptr, this);
}

BusHold::~BusHold() {
    sd_bus_unref(m_bus);
}

void BusHold::end() {
    // A reply still on its way is left to the service, which lets go of what a client held
    // when the client leaves the bus.
    m_request = sd_bus_slot_unref(m_request);
    m_owner_watch = sd_bus_slot_unref(m_owner_watch);
    if (m_held)
        give_back();
    m_held = false;
}

void BusHold::hold(bool wanted) {
    m_wanted = wanted;
    if (wanted && !m_held && !m_request)
        send();
    else if (!wanted && m_held) {
        m_held = false;
        give_back();
    }
}

void BusHold::send() {
    if (!m_bus)
        return;
    m_asked_of = m_owners;
    sd_bus_message* message = request();
    auto answered = [](sd_bus_message* reply, void* userdata, sd_bus_error*) {
        static_cast<BusHold*>(userdata)->reply(reply);
        return 0;
    };
    if (!message || sd_bus_call_async(m_bus, &m_request, message, answered, this, 0) < 0)
        m_request = nullptr;
    sd_bus_message_unref(message);
}

void BusHold::reply(sd_bus_message* message) {
    m_request = sd_bus_slot_unref(m_request);
    Answer answer = take(message);
    // An answer from an owner since replaced counts as it would have before the change: what it
    // gave is kept only where it outlives its service, and the new owner is asked.
    bool replaced = m_asked_of != m_owners;
    if (answer == Answer::Given && replaced && !outlives_service())
        answer = Answer::AskAgain;
    if (answer == Answer::Given && !m_wanted)
        give_back();
    m_held = answer == Answer::Given && m_wanted;
    if (m_wanted && !m_held && (answer == Answer::AskAgain || replaced))
        send();
}

void BusHold::owner_changed(bool gone, bool present) {
    ++m_owners;
    if (gone && m_held)
        m_held = outlives_service();
    service_changed(present);
    if (present && m_wanted && !m_held && !m_request)
        send();
}

} // namespace platform
