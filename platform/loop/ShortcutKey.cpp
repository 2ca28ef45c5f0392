#include "platform/loop/ShortcutKey.h"

#include <array>
#include <cctype>

namespace platform {

namespace {

// An American keyboard's digit and letter rows, by XKB's row names: the keys of row AD are AD01
// (Q) to AD10 (P).
struct Row {
    std::string_view name;
    std::string_view keys;
};
constexpr std::array<Row, 4> kRows{{
    {"AE", "1234567890"},
    {"AD", "QWERTYUIOP"},
    {"AC", "ASDFGHJKL"},
    {"AB", "ZXCVBNM"},
}};

bool is_printable_ascii(uint32_t c) {
    return c > 0x20 && c < 0x7F;
}

bool is_letter_or_digit(uint32_t c) {
    return is_printable_ascii(c) && std::isalnum(static_cast<int>(c));
}

char upper(uint32_t c) {
    return static_cast<char>(std::toupper(static_cast<int>(c)));
}

} // namespace

std::optional<char> ShortcutKey::of(uint32_t character, std::string_view place,
                                    const LayoutsAt& layouts_at) {
    if (is_letter_or_digit(character))
        return upper(character);
    // Punctuation is itself, save where a layout of another script puts it on a letter's key (the
    // Greek layout's Q key gives ';').
    if (is_printable_ascii(character) && (!american(place) || !is_other_script(layouts_at)))
        return static_cast<char>(character);
    if ((!is_printable_ascii(character) && character < 0x80) || place.empty())
        return std::nullopt;
    std::vector<uint32_t> layouts = layouts_at(place);
    for (size_t i = 1; i < layouts.size(); ++i)
        if (is_letter_or_digit(layouts[i]))
            return upper(layouts[i]);
    return american(place);
}

bool ShortcutKey::is_other_script(const LayoutsAt& layouts_at) {
    for (size_t row = 1; row < kRows.size(); ++row)
        for (char key : kRows[row].keys) {
            std::vector<uint32_t> layouts = layouts_at(*place_of(key));
            if (!layouts.empty() && layouts[0] > 0x7E)
                return true;
        }
    return false;
}

std::optional<std::string> ShortcutKey::named(uint32_t keysym) {
    switch (keysym) {
    case 0x0020:
        return "Space";
    case 0xFF1B:
        return "Escape";
    case 0xFF52:
        return "Up";
    case 0xFF54:
        return "Down";
    default:
        return std::nullopt;
    }
}

std::optional<char> ShortcutKey::american(std::string_view place) {
    if (place.size() != 4 || !std::isdigit(static_cast<unsigned char>(place[2])) ||
        !std::isdigit(static_cast<unsigned char>(place[3])))
        return std::nullopt;
    size_t column = static_cast<size_t>((place[2] - '0') * 10 + (place[3] - '0'));
    for (const Row& row : kRows)
        if (place.substr(0, 2) == row.name && column >= 1 && column <= row.keys.size())
            return row.keys[column - 1];
    return std::nullopt;
}

std::optional<std::string> ShortcutKey::place_of(char key) {
    char upper_key = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    for (const Row& row : kRows)
        if (size_t column = row.keys.find(upper_key); column != std::string_view::npos) {
            size_t number = column + 1;
            return std::string(row.name) + static_cast<char>('0' + number / 10) +
                   static_cast<char>('0' + number % 10);
        }
    return std::nullopt;
}

} // namespace platform
