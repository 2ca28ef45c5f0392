#include "platform/compat/Application.h"

#include "platform/base/FailureLog.h"
#include "platform/loop/EventLoop.h"

namespace platform {

Ref<platform::MenuBar> Application::MenuBar(int index) const {
    return index == 0 ? m_menu_bar : nullptr;
}

void Application::SetMenuBar(const Ref<platform::MenuBar>& bar, int index) {
    if (index == 0)
        m_menu_bar = bar;
}

void Application::menu_shortcut(const std::string& key, FailureLog& failures) {
    if (!m_menu_bar)
        return;
    if (Ref<MenuItem> item = m_menu_bar->find_shortcut("Cmd+" + key))
        failures.guard([&] { return "menu item " + item->Name(); }, [&] { item->Action(); });
}

void RuntimeRegisterAppObject(const Ref<Application>& app) {
    EventLoop& loop = EventLoop::current();
    loop.set_menu_shortcuts([app, &failures = loop.failures()](const std::string& key) {
        if (app)
            app->menu_shortcut(key, failures);
    });
}

} // namespace platform
