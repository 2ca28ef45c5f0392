#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct SDL_Window;
struct _XkbDesc;

namespace platform {

// The keyboard's layouts (XKB groups) as the X server holds them when made: read afresh for a
// key press that needs them, so that a layout switched while the program runs counts. Only a
// press of a key of another script does, and it costs a few round trips.
class X11KeyLayouts {
public:
    // Reads the keymap of the X display that window is on; none where it is not on X11 or the
    // display has no XKB.
    explicit X11KeyLayouts(SDL_Window* window);
    ~X11KeyLayouts();
    X11KeyLayouts(const X11KeyLayouts&) = delete;
    X11KeyLayouts& operator=(const X11KeyLayouts&) = delete;

    // The first-level keysyms of the key at an XKB place ("AD01") in each group, the active one
    // first; nothing where there is no key there.
    std::vector<uint32_t> at(std::string_view place) const;

private:
    _XkbDesc* m_keymap = nullptr;
    int m_group = 0;
};

} // namespace platform
