#include "platform/windows/Screen.h"

#include "platform/Runtime.h"

namespace platform {

Ref<Screen> Screen::Get(int index) {
    if (index != 0 || !Runtime::exists())
        return nullptr;
    Rect bounds = Runtime::current().desktop().screen_bounds();
    return Ref<Screen>(new Screen(bounds.w, bounds.h));
}

} // namespace platform
