#include "platform/compat/WindowSupport.h"

#include "platform/windows/Window.h"

namespace platform::_WindowSupport {

std::optional<std::vector<Ref<Window>>> Windows;

} // namespace platform::_WindowSupport
