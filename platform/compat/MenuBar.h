#pragma once

#include "platform/compat/MenuItem.h"

namespace platform {

// The application's menu bar: its children are the menus.
class MenuBar : public MenuItem {};

} // namespace platform
