#pragma once

#include "StereoBuffer.h"

namespace media {

// The recipes of the four beach sounds, each mastered to the same loudness.
class SceneSounds {
public:
    // The main surf: big waves every 6 to 12 s, a seamless loop.
    static StereoBuffer surf();
    // A second, closer and brighter surf of quicker lapping waves, also a loop.
    static StereoBuffer surf2();
    // Footsteps on sand.
    static StereoBuffer walk();
    // One wave breaking close by.
    static StereoBuffer splash();
};

} // namespace media
