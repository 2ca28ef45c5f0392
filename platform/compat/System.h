#pragma once

#include "platform/base/Ref.h"
#include "platform/windows/MouseCursor.h"

#include <cstdint>
#include <string>

// Stand-in: the framework's system module, as the program calls it: the shared pointer shapes,
// showing the pointer, and a version query the slider asks.
namespace platform::System {

namespace Cursors {
Ref<MouseCursor> StandardPointer();
Ref<MouseCursor> FingerPointer();
// Shows the pointer, also one hidden until the next move.
void Show();
} // namespace Cursors

// Stand-in: there is no such query on this desktop; it answers what the slider needs to hear.
// Asks the system about itself by four-character selector. "sysv" answers the system version
// in packed decimal (0x1000 is 10.0.0). Returns whether the selector is known.
bool Gestalt(const std::string& selector, int32_t& result);

} // namespace platform::System
