#pragma once

#include <cstdint>

namespace platform {

// Monotonic time in microseconds, as the backend's clock gives it.
using Micros = int64_t;

} // namespace platform
