#pragma once

#include "platform/compat/MenuItem.h"

namespace platform {

// Stand-in: the menu item that quits the application, reached through its shortcut.
class QuitMenuItem : public MenuItem {
public:
    bool Action() override;
};

} // namespace platform
