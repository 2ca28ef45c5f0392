#pragma once

#include "platform/base/Ref.h"
#include "platform/windows/Window.h"

#include <string>

namespace platform {

// The live window registered under a qualified class name ("Window1.Window1") in the implicit
// window list, or nil.
Ref<Window> RuntimeGetImplicitWindow(const std::string& qualified_class_name);

// What a window class's accessor does: the live instance registered under the class name, or a
// new one, built by the framework's window constructor (which registers it).
template <class W>
Ref<W> implicit_instance(const std::string& class_name) {
    Ref<Window> existing = RuntimeGetImplicitWindow(class_name + "." + class_name);
    if (existing)
        return checked_cast<W>(existing);
    Ref<W> made = make_ref<W>();
    made->Construct();
    return checked_cast<W>(made);
}

} // namespace platform
