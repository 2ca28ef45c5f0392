#include "platform/compat/Application.h"

namespace platform {

Ref<platform::MenuBar> Application::MenuBar(int index) const {
    return index == 0 ? m_menu_bar : nullptr;
}

void Application::SetMenuBar(const Ref<platform::MenuBar>& bar, int index) {
    if (index == 0)
        m_menu_bar = bar;
}

} // namespace platform
