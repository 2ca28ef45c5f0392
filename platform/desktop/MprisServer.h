#pragma once

#include "platform/desktop/MediaPlayer.h"

#include <memory>
#include <string>

struct sd_bus;
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
    int fd() const;
    short events() const;
    // Handles whatever the bus sent. False once the connection is lost.
    bool service();
    // The player started or stopped: the listeners hear the new PlaybackStatus.
    void playing_changed();

    const std::string& name() const { return m_name; }

private:
    MprisServer(sd_bus* bus, MediaPlayer& player);

    sd_bus* m_bus;
    MediaPlayer& m_player;
    sd_bus_slot* m_root_slot = nullptr;
    sd_bus_slot* m_player_slot = nullptr;
    std::string m_name;
};

} // namespace platform
