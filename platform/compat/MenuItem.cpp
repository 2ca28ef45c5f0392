#include "platform/compat/MenuItem.h"

namespace platform {

Ref<MenuItem> MenuItem::Child(const std::string& name) const {
    for (const Ref<MenuItem>& c : m_children)
        if (c->Name() == name)
            return c;
    return nullptr;
}

Ref<MenuItem> MenuItem::find_shortcut(const std::string& shortcut) const {
    for (const Ref<MenuItem>& c : m_children) {
        if (c->KeyboardShortcut() == shortcut)
            return c;
        if (Ref<MenuItem> below = c->find_shortcut(shortcut))
            return below;
    }
    return nullptr;
}

} // namespace platform
