#pragma once

struct SDL_Window;

namespace platform::WindowManagerProbe {

// Whether a window manager runs on the window's display. On X11 it is one that announces itself
// on the root window; other video systems always have one.
bool is_running(SDL_Window* window);

} // namespace platform::WindowManagerProbe
