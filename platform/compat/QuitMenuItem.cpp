#include "platform/compat/QuitMenuItem.h"

#include "platform/compat/Functions.h"

namespace platform {

bool QuitMenuItem::Action() {
    Quit(0);
    return true;
}

} // namespace platform
