#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The character a key press stands for in shortcuts, found as desktop toolkits find it, so that
// Ctrl+Q works on the key marked Q in every layout: the character the active layout gives the key
// where that is Latin; where the active layout is of another script (Cyrillic, Greek), the first
// Latin letter or digit the key has in the keymap's other layouts, and where none has one, the
// key an American keyboard has at that place. Both backends make their KeyDown events so, and
// every key binding matches on what they carry. Keysyms are X11's, which xkbcommon shares; places
// are named as XKB names them ("AD01": the first key of the top letter row).
class ShortcutKey {
public:
    // The first-level keysyms of the key at a place in each layout of the keymap, the active
    // one first; nothing where the keymap has no key there.
    using LayoutsAt = std::function<std::vector<uint32_t>(std::string_view place)>;

    // For a key at place (empty where unknown) for which the active layout gives character (a
    // Unicode code point; 0 for none): the character, a letter in upper case, or nothing for a
    // key that stands for none (Space, F1).
    static std::optional<char> of(uint32_t character, std::string_view place,
                                  const LayoutsAt& layouts_at);
    // The name of a key the program binds that types no letter ("Space", "Escape", "Up",
    // "Down"), by its keysym: the same in every layout. Nothing for other keys.
    static std::optional<std::string> named(uint32_t keysym);
    // The letter or digit of an American keyboard at a place; nothing for other places.
    static std::optional<char> american(std::string_view place);
    // The place of an American keyboard's letter or digit (either case); nothing for others.
    static std::optional<std::string> place_of(char key);

private:
    // Whether the active layout gives a character beyond ASCII at any letter's place.
    static bool is_other_script(const LayoutsAt& layouts_at);
};

} // namespace platform
