#pragma once

#include "platform/base/Object.h"

namespace platform {

// Stands in for the framework's list of windows, which class set-up makes and shutdown
// releases in its place among the other holders. It holds nothing: the desktop knows the shown
// windows, and the implicit-instance registry keeps the windows alive.
class WindowList : public Object {};

} // namespace platform
