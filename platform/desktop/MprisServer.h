#pragma once

#include "platform/desktop/BusConnection.h"
#include "platform/desktop/MediaPlayer.h"

#include <cstdint>
#include <memory>
#include <string>

struct sd_bus_slot;

namespace platform {

// The program as a media player on the session bus (the MPRIS interfaces at
// /org/mpris/MediaPlayer2), so that the desktop's media controls show it and drive it. It is
// serviced from the program's own loop: nothing happens on the bus's account between services.
class MprisServer {
public:
    // Connects to the session bus and serves player under org.mpris.MediaPlayer2.quorvane (or,
    // where another session of the same user has that name, a name of this process's own).
    // Nothing, quietly, when there is no session bus.
    static std::unique_ptr<MprisServer> connect(MediaPlayer& player);
    ~MprisServer();
    MprisServer(const MprisServer&) = delete;
    MprisServer& operator=(const MprisServer&) = delete;

    // The connection, and what to wait on it for (poll's events).
    int fd() const { return m_connection->fd(); }
    short events() const { return m_connection->events(); }
    // Handles whatever the bus sent. False once the connection is lost.
    bool service() { return m_connection->service(); }
    // The session bus connection, for other services to share.
    BusConnection& connection() { return *m_connection; }
    // The player started or stopped: the listeners hear the new PlaybackStatus.
    void playing_changed();

    // The name the bus gave, once it has.
    const std::string& name() const { return m_name; }
    // The bus's answer (RequestName's) to the name asked for last; from the connection's
    // handling.
    void name_answered(uint32_t answer);

private:
    MprisServer(std::unique_ptr<BusConnection> connection, MediaPlayer& player);
    bool ask_for_name(const std::string& name);

    std::unique_ptr<BusConnection> m_connection;
    MediaPlayer& m_player;
    sd_bus_slot* m_root_slot = nullptr;
    sd_bus_slot* m_player_slot = nullptr;
    std::string m_asked;
    std::string m_name;
};

} // namespace platform
