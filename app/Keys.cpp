#include "app/Keys.h"

#include "platform/loop/EventLoop.h"
#include "scene/NoteWindow.h"
#include "scene/Window1.h"
#include "volume/loudnessWin.h"

namespace app {

void Keys::bind() {
    platform::EventLoop& loop = platform::EventLoop::current();
    loop.set_keys(&Keys::pressed);
    loop.set_presence_observer(&Keys::presence);
}

void Keys::unbind() {
    platform::EventLoop& loop = platform::EventLoop::current();
    loop.set_keys(nullptr);
    loop.set_presence_observer(nullptr);
}

void Keys::pressed(const std::string& key) {
    if (key == "Space") {
        ::Window1()->toggle_beach();
    } else if (key == "Escape") {
        ::Window1()->show_strip();
    } else if (key == "Up" || key == "Down") {
        int percent = volume::loudnessWin::stepVolume(key == "Up" ? kVolumeStep : -kVolumeStep);
        ::NoteWindow()->say("Volume " + std::to_string(percent) + " %");
    } else if (key == "T") {
        ::Window1()->night().cycle_sleep();
    } else if (key == "D") {
        ::Window1()->night().cycle_dim();
    }
}

bool Keys::presence(const platform::InputEvent& event) {
    if (event.type == platform::InputEvent::Type::PointerMove)
        ::Window1()->pointer_moved();
    return ::Window1()->night().awake();
}

} // namespace app
