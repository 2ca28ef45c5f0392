#include "platform/sdl/X11KeyLayouts.h"

#include <SDL_syswm.h>
#include <X11/XKBlib.h>

#include <cstring>

namespace platform {

X11KeyLayouts::X11KeyLayouts(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    Display* display = info.info.x11.display;
    XkbStateRec state{};
    m_keymap = XkbGetMap(display, XkbKeySymsMask, XkbUseCoreKbd);
    if (m_keymap && XkbGetNames(display, XkbKeyNamesMask, m_keymap) == Success && m_keymap->names &&
        XkbGetState(display, XkbUseCoreKbd, &state) == Success) {
        m_group = state.group;
        return;
    }
    if (m_keymap)
        XkbFreeKeyboard(m_keymap, 0, True);
    m_keymap = nullptr;
}

X11KeyLayouts::~X11KeyLayouts() {
    if (m_keymap)
        XkbFreeKeyboard(m_keymap, 0, True);
}

std::vector<uint32_t> X11KeyLayouts::at(std::string_view place) const {
    std::vector<uint32_t> keysyms;
    if (!m_keymap || place.size() > XkbKeyNameLength)
        return keysyms;
    char name[XkbKeyNameLength] = {};
    std::memcpy(name, place.data(), place.size());
    for (int key = m_keymap->min_key_code; key <= m_keymap->max_key_code; ++key) {
        if (std::memcmp(m_keymap->names->keys[key].name, name, XkbKeyNameLength) != 0)
            continue;
        int groups = XkbKeyNumGroups(m_keymap, key);
        if (groups == 0)
            return keysyms;
        // A key with fewer groups than the keymap has wraps the active one into its own.
        int active = m_group % groups;
        keysyms.push_back(static_cast<uint32_t>(XkbKeySymEntry(m_keymap, key, 0, active)));
        for (int group = 0; group < groups; ++group)
            if (group != active)
                keysyms.push_back(static_cast<uint32_t>(XkbKeySymEntry(m_keymap, key, 0, group)));
        return keysyms;
    }
    return keysyms;
}

} // namespace platform
