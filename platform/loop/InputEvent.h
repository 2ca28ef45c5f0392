#pragma once

#include <string>

namespace platform {

// What a backend hands to the event loop. Coordinates are screen pixels.
struct InputEvent {
    enum class Type {
        PointerMove,
        PointerDown,
        PointerUp,
        KeyDown,
        QuitRequest,         // the window manager's close request, or a signal
        Exposed,             // the screen's contents were lost and must be repainted whole
        ScreenResized,       // the screen buffer has a new size: the screen it covers changed
        OutputVolumeChanged, // the output volume was changed outside the program
        SourceReady,         // a watched file descriptor, in x, is ready
        MediaKey,            // a media key: key is "PlayPause", "Play", "Pause" or "Stop"
        Seen,                // whether the display can be seen: x is 1 when it can, 0 when not
    };
    InputEvent() = default;
    explicit InputEvent(Type t, int px = 0, int py = 0) : type(t), x(px), y(py) {}

    Type type = Type::PointerMove;
    int x = 0;
    int y = 0;
    // For KeyDown: the key as an upper-case letter or digit ("Q"), the Latin one where the
    // active layout is of another script (ShortcutKey), or the name of a key without a letter
    // ("Space", "Escape", "Up", "Down"), and whether the menu shortcut modifier (Ctrl here)
    // was held.
    std::string key;
    bool shortcut_modifier = false;
};

} // namespace platform
