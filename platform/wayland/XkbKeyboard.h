#pragma once

#include "platform/loop/InputEvent.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace platform {

// Keys through the compositor's keymap: a key press becomes the KeyDown the X11 backend makes
// of it, the key's unshifted character in upper case (Ctrl+Q and Ctrl+Shift+Q are both "Q")
// with Ctrl or the logo key as the shortcut modifier; in a layout of another script, the key's
// Latin character (ShortcutKey). Space, Escape, Up and Down make theirs by name; other keys
// without one printable character (F1, Left) make nothing, save the media keys Play/Pause, Pause
// and Stop.
class XkbKeyboard {
public:
    XkbKeyboard();
    ~XkbKeyboard();
    XkbKeyboard(const XkbKeyboard&) = delete;
    XkbKeyboard& operator=(const XkbKeyboard&) = delete;

    // The compositor's keymap, as text; false if it cannot be read, which leaves the keys
    // without meaning until another arrives.
    bool set_keymap(const char* text);
    void set_modifiers(uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group);
    // keycode is the evdev code the compositor sends.
    std::optional<InputEvent> key_pressed(uint32_t keycode) const;

private:
    // The media key's name for the loop, or null.
    static const char* media_key(uint32_t keysym);
    void adopt(xkb_keymap* keymap);
    // The first-level keysyms of the key at an XKB place in each layout, the active one first.
    std::vector<uint32_t> layouts_at(std::string_view place) const;

    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
    xkb_state* m_state = nullptr;
};

} // namespace platform
