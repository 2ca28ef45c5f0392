#include "platform/desktop/ScreenSaverHold.h"

#include "platform/base/FailureLog.h"
#include "platform/loop/EventLoop.h"

#include <systemd/sd-bus.h>

#include <cstring>

namespace platform {

namespace {

constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kInterface = "org.freedesktop.ScreenSaver";
constexpr const char* kPaths[] = {"/org/freedesktop/ScreenSaver", "/ScreenSaver"};
constexpr int kLastPath = 1;

} // namespace

ScreenSaverHold::ScreenSaverHold(BusConnection* connection,
                                 std::function<void(bool active)> on_active)
    : BusHold(connection, kService), m_on_active(std::move(on_active)) {
    if (!bus())
        return;
    auto changed = [](sd_bus_message* signal, void* userdata, sd_bus_error*) {
        int active = 0;
        if (sd_bus_message_read(signal, "b", &active) >= 0)
            static_cast<ScreenSaverHold*>(userdata)->set_active(active);
        return 0;
    };
    // From the service's name at whichever path it serves: the bus checks who sends it.
    sd_bus_match_signal_async(bus(), &m_active_watch, kService, nullptr, kInterface,
                              "ActiveChanged", changed, nullptr, this);
    ask_active();
}

ScreenSaverHold::~ScreenSaverHold() {
    end();
    sd_bus_slot_unref(m_active_request);
    sd_bus_slot_unref(m_active_watch);
}

sd_bus_message* ScreenSaverHold::request() {
    m_asked_path = m_path;
    sd_bus_message* message = nullptr;
    if (sd_bus_message_new_method_call(bus(), &message, kService, kPaths[m_path], kInterface,
                                       "Inhibit") < 0 ||
        sd_bus_message_append(message, "ss", "Quorvane", "Showing the night sky") < 0)
        return sd_bus_message_unref(message);
    return message;
}

BusHold::Answer ScreenSaverHold::take(sd_bus_message* reply) {
    if (moved_on(reply, m_asked_path))
        return Answer::AskAgain;
    if (sd_bus_message_is_method_error(reply, nullptr) ||
        sd_bus_message_read(reply, "u", &m_cookie) < 0)
        return Answer::Refused;
    return Answer::Given;
}

void ScreenSaverHold::give_back() {
    // Where it was given; nobody waits for the answer.
    sd_bus_call_method_async(bus(), nullptr, kService, kPaths[m_asked_path], kInterface,
                             "UnInhibit", nullptr, nullptr, "u", m_cookie);
}

bool ScreenSaverHold::outlives_service() {
    // The cookie was the old service's.
    return false;
}

void ScreenSaverHold::service_changed(bool present) {
    m_path = 0;
    set_active(false);
    if (present)
        ask_active();
}

void ScreenSaverHold::ask_active() {
    m_active_request = sd_bus_slot_unref(m_active_request);
    m_active_path = m_path;
    auto answered = [](sd_bus_message* reply, void* userdata, sd_bus_error*) {
        static_cast<ScreenSaverHold*>(userdata)->active_answered(reply);
        return 0;
    };
    sd_bus_call_method_async(bus(), &m_active_request, kService, kPaths[m_path], kInterface,
                             "GetActive", answered, this, "");
}

bool ScreenSaverHold::moved_on(sd_bus_message* reply, int path) {
    const sd_bus_error* error = sd_bus_message_get_error(reply);
    if (!error || path == kLastPath)
        return false;
    // Each toolkit says "nothing here" in its own words.
    for (const char* missing :
         {SD_BUS_ERROR_UNKNOWN_OBJECT, SD_BUS_ERROR_UNKNOWN_INTERFACE, SD_BUS_ERROR_UNKNOWN_METHOD})
        if (std::strcmp(error->name, missing) == 0) {
            m_path = path + 1;
            return true;
        }
    return false;
}

void ScreenSaverHold::active_answered(sd_bus_message* reply) {
    m_active_request = sd_bus_slot_unref(m_active_request);
    int active = 0;
    if (moved_on(reply, m_active_path))
        ask_active();
    else if (!sd_bus_message_is_method_error(reply, nullptr) &&
             sd_bus_message_read(reply, "b", &active) >= 0)
        set_active(active);
}

void ScreenSaverHold::set_active(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    if (m_on_active)
        EventLoop::current().failures().guard("screen saver ActiveChanged",
                                              [&] { m_on_active(active); });
}

} // namespace platform
