#pragma once

#include <stdexcept>

namespace platform {

// Raised when a backend cannot start: no display, no window. The message says why, without the
// "cannot open the display" that the caller puts before it.
class BackendError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace platform
