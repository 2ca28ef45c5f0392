#include "app/BeachPlayer.h"

#include "common/MediaLibrary.h"
#include "platform/compat/Functions.h"
#include "platform/windows/Desktop.h"
#include "scene/Window1.h"

namespace app {

BeachPlayer::BeachPlayer(std::function<void()> changed)
    : m_changed(std::move(changed)), m_told_playing(playing()) {
}

bool BeachPlayer::playing() const {
    return MediaLibrary::IsPlaying("surf");
}

void BeachPlayer::play_pause() {
    ::Window1()->toggle_beach();
}

void BeachPlayer::play() {
    if (!playing())
        ::Window1()->toggle_beach();
}

// The beach cannot pause: the waves go on without the listener, so pausing stops.
void BeachPlayer::pause() {
    stop();
}

void BeachPlayer::stop() {
    if (playing())
        ::Window1()->toggle_beach();
}

void BeachPlayer::raise() {
    platform::Desktop::current().display().raise("");
}

void BeachPlayer::quit() {
    platform::Quit(0);
}

void BeachPlayer::media_key(const std::string& key) {
    if (key == "PlayPause")
        play_pause();
    else if (key == "Play")
        play();
    else if (key == "Pause")
        pause();
    else if (key == "Stop")
        stop();
}

void BeachPlayer::check() {
    bool now = playing();
    if (now == m_told_playing)
        return;
    m_told_playing = now;
    if (m_changed)
        m_changed();
}

} // namespace app
