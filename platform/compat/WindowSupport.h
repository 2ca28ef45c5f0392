#pragma once

#include "platform/base/Ref.h"

#include <optional>
#include <vector>

namespace platform {

class Window;

// Stand-in: the framework's list of windows, which class set-up makes, empty, and shutdown
// releases in its place among the other holders. Nothing enters it here: the desktop knows the
// shown windows, and the implicit window list keeps every window alive.
namespace _WindowSupport {
extern std::optional<std::vector<Ref<Window>>> Windows;
} // namespace _WindowSupport

} // namespace platform
