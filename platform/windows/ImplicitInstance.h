#pragma once

#include "platform/base/Ref.h"
#include "platform/windows/Window.h"

#include <string>

namespace platform {

// The live window registered under a qualified class name ("Window1.Window1") in the implicit
// window list, or nil.
Ref<Window> RuntimeGetImplicitWindow(const std::string& qualified_class_name);

// The live instance registered under the class name, or nil: none is made.
template <class W>
Ref<W> existing_instance(const std::string& class_name) {
    Ref<Window> existing = RuntimeGetImplicitWindow(class_name + "." + class_name);
    return existing ? checked_cast<W>(existing) : nullptr;
}

// What a window class's accessor does: the live instance registered under the class name, or a
// new one, built by the framework's window constructor (which registers it).
template <class W>
Ref<W> implicit_instance(const std::string& class_name) {
    if (Ref<W> existing = existing_instance<W>(class_name))
        return existing;
    Ref<W> made = make_ref<W>();
    made->Construct();
    return checked_cast<W>(made);
}

} // namespace platform
