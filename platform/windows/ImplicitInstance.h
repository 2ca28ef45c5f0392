#pragma once

#include "platform/Runtime.h"
#include "platform/base/Ref.h"
#include "platform/windows/Window.h"

#include <string>

namespace platform {

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
