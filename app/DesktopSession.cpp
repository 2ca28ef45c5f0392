#include "app/DesktopSession.h"

#include "platform/desktop/BusConnection.h"
#include "platform/desktop/MprisServer.h"
#include "platform/desktop/ScreenSaverHold.h"
#include "platform/desktop/SingleInstance.h"
#include "platform/desktop/SleepHold.h"
#include "platform/loop/EventLoop.h"
#include "platform/windows/Desktop.h"

#include <poll.h>

namespace app {

namespace {

platform::EventLoop& loop() {
    return platform::EventLoop::current();
}

} // namespace

DesktopSession::DesktopSession(const SessionOptions& options)
    : m_player([this] {
          if (!m_mpris)
              return;
          m_mpris->playing_changed();
          // The signal may wait on a full socket: the loop then waits to write it too.
          watch(m_mpris->connection());
      }),
      m_instance(options.instance) {
    loop().set_batch_observer([this] {
        m_player.check();
        follow();
    });
    loop().set_media_keys([this](const std::string& key) { m_player.media_key(key); });
    if (m_instance)
        loop().watch("a later start", m_instance->fd(), POLLIN,
                     [this] { return answer_later_starts(); });
    if (options.media_controls)
        m_mpris = platform::MprisServer::connect(m_player);
    if (options.hold_screen) {
        if (!m_mpris)
            m_session = platform::BusConnection::session();
        // A locked screen is not seen, whatever the display says.
        if (platform::BusConnection* bus = session_bus())
            m_screen_hold = std::make_unique<platform::ScreenSaverHold>(bus, [](bool active) {
                platform::Desktop::current().set_seen(!active, platform::Desktop::SeenBy::Session);
            });
    }
    if (options.hold_sleep) {
        m_system = platform::BusConnection::system();
        if (m_system)
            m_sleep_hold = std::make_unique<platform::SleepHold>(m_system.get());
    }
    for (platform::BusConnection* bus : {session_bus(), m_system.get()})
        if (bus)
            watch(*bus);
}

DesktopSession::~DesktopSession() {
    loop().set_batch_observer(nullptr);
    loop().set_media_keys(nullptr);
    if (m_instance)
        loop().unwatch(m_instance->fd());
    for (platform::BusConnection* bus : {session_bus(), m_system.get()})
        if (bus)
            loop().unwatch(bus->fd());
}

platform::BusConnection* DesktopSession::session_bus() const {
    return m_mpris ? &m_mpris->connection() : m_session.get();
}

void DesktopSession::watch(platform::BusConnection& bus) {
    loop().watch(&bus == m_system.get() ? "the system bus" : "the session bus", bus.fd(),
                 bus.events(), [this, &bus] { return service(bus); });
}

short DesktopSession::service(platform::BusConnection& bus) {
    if (bus.service())
        return bus.events();
    // The bus went away (the session is ending): the program goes on without what rode on it.
    // A hold keeps its own reference to the connection and asks nothing more.
    loop().unwatch(bus.fd());
    if (&bus == m_system.get())
        m_system.reset();
    else if (&bus == m_session.get())
        m_session.reset();
    else
        m_mpris.reset();
    return 0;
}

void DesktopSession::follow() {
    // The screen is held while the picture is drawn (the display holds it the same way), the
    // machine's sleep while the beach plays. A request may wait on a full socket: the loop then
    // waits to write it too.
    bool drawing = platform::Desktop::current().is_drawing();
    if (m_screen_hold && m_screen_hold->wanted() != drawing) {
        m_screen_hold->hold(drawing);
        if (platform::BusConnection* bus = session_bus())
            watch(*bus);
    }
    bool playing = m_player.playing();
    if (m_sleep_hold && m_sleep_hold->wanted() != playing) {
        m_sleep_hold->hold(playing);
        if (m_system)
            watch(*m_system);
    }
}

short DesktopSession::answer_later_starts() {
    for (const std::string& token : m_instance->take_requests())
        platform::Desktop::current().display().raise(token);
    return POLLIN;
}

} // namespace app
