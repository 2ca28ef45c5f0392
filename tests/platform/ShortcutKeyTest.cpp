#include "platform/loop/ShortcutKey.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

using platform::ShortcutKey;

namespace {

// A keysym from X11's table: ς, on the key marked W.
constexpr uint32_t kGreekFinalSigma = 0x7f3;

// A keymap as the backends see it: each place's first-level keysyms, the active layout first.
// It counts the places asked for.
struct Keymap {
    std::map<std::string, std::vector<uint32_t>> keys;
    int asked = 0;

    ShortcutKey::LayoutsAt layouts_at() {
        return [this](std::string_view place) {
            ++asked;
            auto it = keys.find(std::string(place));
            return it == keys.end() ? std::vector<uint32_t>{} : it->second;
        };
    }
    // Every American letter's place with that letter in the active layout.
    static Keymap american() {
        Keymap k;
        for (char c = 'a'; c <= 'z'; ++c)
            k.keys[*ShortcutKey::place_of(c)] = {static_cast<uint32_t>(c)};
        return k;
    }
};

std::string of(uint32_t character, std::string_view place, Keymap& keymap) {
    std::optional<char> c = ShortcutKey::of(character, place, keymap.layouts_at());
    return c ? std::string(1, *c) : "none";
}

} // namespace

TEST(ShortcutKey, PlacesNameTheAmericanKeyboardsLettersAndDigits) {
    const std::string keys = "1234567890QWERTYUIOPASDFGHJKLZXCVBNM";
    for (char key : keys) {
        std::optional<std::string> place = ShortcutKey::place_of(key);
        ASSERT_TRUE(place) << key;
        EXPECT_EQ(ShortcutKey::american(*place), key);
        EXPECT_EQ(ShortcutKey::place_of(static_cast<char>(std::tolower(key))), place);
    }
    EXPECT_EQ(ShortcutKey::place_of('Q'), "AD01");
    EXPECT_EQ(ShortcutKey::place_of('0'), "AE10");
    EXPECT_EQ(ShortcutKey::place_of('M'), "AB07");
    for (const char* other : {"AC10", "AB08", "AE11", "AD00", "SPCE", "FK01", "AD1", ""})
        EXPECT_FALSE(ShortcutKey::american(other)) << other;
    EXPECT_FALSE(ShortcutKey::place_of(';'));
}

// A Latin layout's keys are what they type: letters in upper case, digits and punctuation as
// they are, keys that type nothing printable are no key; the keymap is not even asked.
TEST(ShortcutKey, ALatinLayoutsKeysAreWhatTheyType) {
    Keymap keymap = Keymap::american();
    EXPECT_EQ(of('q', "AD01", keymap), "Q");
    EXPECT_EQ(of('Q', "AD01", keymap), "Q");
    EXPECT_EQ(of('1', "AE01", keymap), "1");
    EXPECT_EQ(of(';', "AC10", keymap), ";");
    EXPECT_EQ(of(' ', "SPCE", keymap), "none");
    EXPECT_EQ(of(0, "FK01", keymap), "none");
    EXPECT_EQ(of(0x7F, "DELE", keymap), "none");
    EXPECT_EQ(keymap.asked, 0);
    // Dvorak puts punctuation on the American Q's place, and 'q' elsewhere: both stay.
    keymap.keys["AD01"] = {'\''};
    keymap.keys["AB02"] = {'q'};
    EXPECT_EQ(of('\'', "AD01", keymap), "'");
    EXPECT_EQ(of('q', "AB02", keymap), "Q");
}

// In a layout of another script a key stands for its Latin letter: the first that the keymap's
// other layouts give it, else the American key at its place. What real keymaps give (Russian
// alone and beside French, Greek with its ';' on Q, alone and beside American) is read through
// the Wayland backend's test; here what no keymap tells.
TEST(ShortcutKey, ALayoutOfAnotherScriptUsesTheAmericanKeyWhereTheKeymapTellsNothing) {
    // A character of another script at a place the keymap does not know, or at no place.
    Keymap none;
    EXPECT_EQ(of(0x439, "AD01", none), "Q");
    EXPECT_EQ(of(0x439, "", none), "none");
    EXPECT_EQ(none.asked, 1);
    // Punctuation on a key that is no letter's stays itself.
    Keymap gr;
    gr.keys["AD02"] = {kGreekFinalSigma};
    EXPECT_EQ(of('.', "AB10", gr), ".");
}
