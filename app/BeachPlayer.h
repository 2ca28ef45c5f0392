#pragma once

#include "platform/desktop/MediaPlayer.h"

#include <functional>
#include <string>

namespace app {

// The beach as the desktop's media controls and the media keys see it: playing while the surf
// sounds, whatever started it (the moon, the about box's link, a media key). Starting and
// stopping do what a click on the moon does, and nothing when the beach is already so.
class BeachPlayer : public platform::MediaPlayer {
public:
    // changed is called after a batch of the loop's work in which the beach started or stopped.
    explicit BeachPlayer(std::function<void()> changed);

    bool playing() const override;
    void play_pause() override;
    void play() override;
    void pause() override;
    void stop() override;
    void raise() override;
    void quit() override;

    // A media key by name: "PlayPause", "Play", "Pause" or "Stop".
    void media_key(const std::string& key);
    // Called after each batch of the loop's work: tells of a change since the last.
    void check();

private:
    std::function<void()> m_changed;
    bool m_told_playing = false;
};

} // namespace app
