#include "platform/windows/Screen.h"

#include "platform/windows/Desktop.h"

namespace platform {

Ref<Screen> Screen::Get(int index) {
    Desktop* desktop = Current<Desktop>::find();
    if (index != 0 || !desktop)
        return nullptr;
    Rect bounds = desktop->screen_bounds();
    return Ref<Screen>(new Screen(bounds.w, bounds.h));
}

} // namespace platform
