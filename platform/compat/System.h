#pragma once

#include "platform/base/Ref.h"
#include "platform/windows/MouseCursor.h"

#include <cstdint>
#include <string>

namespace platform::System {

namespace Cursors {
Ref<MouseCursor> StandardPointer();
Ref<MouseCursor> FingerPointer();
// Shows the pointer, also one hidden until the next move.
void Show();
} // namespace Cursors

// Asks the system about itself by four-character selector. "sysv" answers the system version
// in packed decimal (0x1000 is 10.0.0). Returns whether the selector is known.
bool Gestalt(const std::string& selector, int32_t& result);

} // namespace platform::System
