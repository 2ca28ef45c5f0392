#pragma once

#include "platform/base/Object.h"
#include "platform/base/Ref.h"

#include <string>
#include <vector>

namespace platform {

// Stand-in: an item of a menu, or a menu (its children), or the menu bar itself. Nothing draws
// menus here; an item's keyboard shortcut is what reaches it.
class MenuItem : public Object {
public:
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    const std::string& Text() const { return m_text; }
    void SetText(std::string text) { m_text = std::move(text); }
    // "Cmd+Q" style: Cmd is the platform's menu shortcut modifier (Ctrl here).
    const std::string& KeyboardShortcut() const { return m_shortcut; }
    void SetKeyboardShortcut(std::string shortcut) { m_shortcut = std::move(shortcut); }
    bool AutoEnable() const { return m_auto_enable; }
    void SetAutoEnable(bool auto_enable) { m_auto_enable = auto_enable; }

    void Append(const Ref<MenuItem>& item) { m_children.push_back(item); }
    // The direct child of that name, or nil.
    Ref<MenuItem> Child(const std::string& name) const;
    const std::vector<Ref<MenuItem>>& children() const { return m_children; }
    // The item, here or below, whose shortcut is that one, or nil.
    Ref<MenuItem> find_shortcut(const std::string& shortcut) const;

    // Chosen by the user; an item without an action does nothing. Returns whether it acted.
    virtual bool Action() { return false; }

private:
    std::string m_name;
    std::string m_text;
    std::string m_shortcut;
    bool m_auto_enable = false;
    std::vector<Ref<MenuItem>> m_children;
};

} // namespace platform
