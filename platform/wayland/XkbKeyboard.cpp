#include "platform/wayland/XkbKeyboard.h"

#include "platform/loop/ShortcutKey.h"

#include <xkbcommon/xkbcommon.h>

#include <string>

namespace platform {

XkbKeyboard::XkbKeyboard() : m_context(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    // A keymap that cannot be read is reported by its result; the library's own warnings about
    // symbols it does not know would be noise on the program's stderr.
    if (m_context)
        xkb_context_set_log_level(m_context, XKB_LOG_LEVEL_CRITICAL);
}

XkbKeyboard::~XkbKeyboard() {
    adopt(nullptr);
    if (m_context)
        xkb_context_unref(m_context);
}

bool XkbKeyboard::set_keymap(const char* text) {
    if (!m_context)
        return false;
    xkb_keymap* keymap = xkb_keymap_new_from_string(m_context, text, XKB_KEYMAP_FORMAT_TEXT_V1,
                                                    XKB_KEYMAP_COMPILE_NO_FLAGS);
    adopt(keymap);
    return keymap != nullptr;
}

void XkbKeyboard::adopt(xkb_keymap* keymap) {
    if (m_state)
        xkb_state_unref(m_state);
    if (m_keymap)
        xkb_keymap_unref(m_keymap);
    m_keymap = keymap;
    m_state = keymap ? xkb_state_new(keymap) : nullptr;
}

void XkbKeyboard::set_modifiers(uint32_t depressed, uint32_t latched, uint32_t locked,
                                uint32_t group) {
    if (m_state)
        xkb_state_update_mask(m_state, depressed, latched, locked, 0, 0, group);
}

const char* XkbKeyboard::media_key(uint32_t keysym) {
    switch (keysym) {
    case XKB_KEY_XF86AudioPlay:
        return "PlayPause";
    case XKB_KEY_XF86AudioPause:
        return "Pause";
    case XKB_KEY_XF86AudioStop:
        return "Stop";
    default:
        return nullptr;
    }
}

std::vector<uint32_t> XkbKeyboard::layouts_at(std::string_view place) const {
    std::vector<uint32_t> keysyms;
    xkb_keycode_t key = xkb_keymap_key_by_name(m_keymap, std::string(place).c_str());
    if (key == XKB_KEYCODE_INVALID)
        return keysyms;
    xkb_layout_index_t active = xkb_state_key_get_layout(m_state, key);
    xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(m_keymap, key);
    auto add = [&](xkb_layout_index_t layout) {
        const xkb_keysym_t* syms = nullptr;
        int count = xkb_keymap_key_get_syms_by_level(m_keymap, key, layout, 0, &syms);
        keysyms.push_back(count == 1 ? syms[0] : XKB_KEY_NoSymbol);
    };
    add(active);
    for (xkb_layout_index_t layout = 0; layout < layouts; ++layout)
        if (layout != active)
            add(layout);
    return keysyms;
}

std::optional<InputEvent> XkbKeyboard::key_pressed(uint32_t keycode) const {
    if (!m_state)
        return std::nullopt;
    // xkb numbers keys as X does, 8 above evdev.
    xkb_keycode_t key = keycode + 8;
    // The key's first level, as X11 names a key whatever Shift says.
    const xkb_keysym_t* syms = nullptr;
    int count = xkb_keymap_key_get_syms_by_level(m_keymap, key,
                                                 xkb_state_key_get_layout(m_state, key), 0, &syms);
    if (count != 1)
        return std::nullopt;
    if (const char* media = media_key(syms[0])) {
        InputEvent out(InputEvent::Type::MediaKey);
        out.key = media;
        return out;
    }
    InputEvent out(InputEvent::Type::KeyDown);
    if (std::optional<std::string> named = ShortcutKey::named(syms[0])) {
        out.key = *named;
    } else {
        const char* place = xkb_keymap_key_get_name(m_keymap, key);
        std::optional<char> shortcut =
            ShortcutKey::of(xkb_keysym_to_utf32(syms[0]), place ? place : "",
                            [this](std::string_view at) { return layouts_at(at); });
        if (!shortcut)
            return std::nullopt;
        out.key = std::string(1, *shortcut);
    }
    out.shortcut_modifier =
        xkb_state_mod_name_is_active(m_state, XKB_MOD_NAME_CTRL, XKB_STATE_MODS_EFFECTIVE) > 0 ||
        xkb_state_mod_name_is_active(m_state, XKB_MOD_NAME_LOGO, XKB_STATE_MODS_EFFECTIVE) > 0;
    return out;
}

} // namespace platform
