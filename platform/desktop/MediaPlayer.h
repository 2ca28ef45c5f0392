#pragma once

namespace platform {

// What the desktop's media controls (the panel's player, the lock screen, media keys the desktop
// takes) may ask of the program, and whether it plays.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;

    virtual bool playing() const = 0;
    virtual void play_pause() = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    // Brings the program to the front.
    virtual void raise() = 0;
    // Ends the program in its ordered way.
    virtual void quit() = 0;
};

} // namespace platform
