#include "platform/QuitMenuItem.h"

#include "platform/Functions.h"

namespace platform {

bool QuitMenuItem::Action() {
    Quit(0);
    return true;
}

} // namespace platform
