#pragma once

#include "platform/compat/MenuItem.h"

namespace platform {

// Stand-in: the application's menu bar. The full-screen program shows no menus; the bar keeps its
// menus so that their shortcuts (Ctrl+Q) work. Its children are the menus.
class MenuBar : public MenuItem {};

} // namespace platform
