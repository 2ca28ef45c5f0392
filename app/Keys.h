#pragma once

#include "platform/loop/InputEvent.h"

#include <string>

namespace app {

// The program's keys beside its menu shortcut, in any keyboard layout (the backends name them):
// Space does what a click on the moon does, Escape shows the top strip, Up and Down move the
// volume as the panel's slider does, T steps the sleep timer and D the brightness. And the
// pointer or a key after the screen went dark, or during the sleep timer's fade, wakes the
// night before anything else.
class Keys {
public:
    // The volume's step for Up and Down, in percent.
    static constexpr int kVolumeStep = 5;

    // Binds them on the running loop, until unbind.
    static void bind();
    static void unbind();

    static void pressed(const std::string& key);
    // Whether the event woke the night (a key that did is taken for that alone).
    static bool presence(const platform::InputEvent& event);
};

} // namespace app
