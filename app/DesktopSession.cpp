#include "app/DesktopSession.h"

#include "platform/desktop/MprisServer.h"
#include "platform/desktop/SingleInstance.h"
#include "platform/loop/EventLoop.h"
#include "platform/windows/Desktop.h"

#include <poll.h>

#include <iostream>

namespace app {

namespace {

platform::EventLoop& loop() {
    return platform::EventLoop::current();
}

} // namespace

DesktopSession::DesktopSession(platform::SingleInstance* instance, bool media_controls)
    : m_player([this] {
          if (!m_mpris)
              return;
          m_mpris->playing_changed();
          // The signal may wait on a full socket: the loop then waits to write it too.
          watch_bus();
      }),
      m_instance(instance) {
    loop().set_batch_observer([this] { m_player.check(); });
    loop().set_media_keys([this](const std::string& key) { m_player.media_key(key); });
    if (m_instance)
        loop().watch("a later start", m_instance->fd(), POLLIN,
                     [this] { return answer_later_starts(); });
    if (media_controls) {
        m_mpris = platform::MprisServer::connect(m_player);
        if (m_mpris)
            watch_bus();
    }
}

DesktopSession::~DesktopSession() {
    loop().set_batch_observer(nullptr);
    loop().set_media_keys(nullptr);
    if (m_instance)
        loop().unwatch(m_instance->fd());
    if (m_mpris)
        loop().unwatch(m_mpris->fd());
}

void DesktopSession::watch_bus() {
    loop().watch("media controls", m_mpris->fd(), m_mpris->events(),
                 [this] { return service_bus(); });
}

short DesktopSession::service_bus() {
    if (m_mpris->service())
        return m_mpris->events();
    // The bus went away (the session is ending): the program goes on without media controls.
    loop().unwatch(m_mpris->fd());
    m_mpris.reset();
    return 0;
}

short DesktopSession::answer_later_starts() {
    for (const std::string& token : m_instance->take_requests())
        platform::Desktop::current().display().raise(token);
    return POLLIN;
}

} // namespace app
