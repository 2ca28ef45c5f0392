#pragma once

#include "platform/MenuItem.h"

namespace platform {

// The menu item that quits the application.
class QuitMenuItem : public MenuItem {
public:
    bool Action() override;
};

} // namespace platform
