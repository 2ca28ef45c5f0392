#pragma once

#include "platform/compat/MenuItem.h"

namespace platform {

// The menu item that quits the application.
class QuitMenuItem : public MenuItem {
public:
    bool Action() override;
};

} // namespace platform
