#include "platform/windows/ImplicitInstance.h"

#include "platform/windows/Desktop.h"

namespace platform {

Ref<Window> RuntimeGetImplicitWindow(const std::string& qualified_class_name) {
    return Desktop::current().implicit_window(qualified_class_name);
}

} // namespace platform
