#pragma once

#include "platform/base/Object.h"
#include "platform/base/Ref.h"
#include "platform/compat/MenuBar.h"

namespace platform {

// Stands in for the framework's application object: registered at start-up and kept until the
// runtime exits, it carries the menu bar whose shortcuts the loop looks up. The program's
// application class handles none of the application's events, so none is raised.
class Application : public Object {
public:
    // The menu bar, by index; this platform has one, at index 0.
    Ref<platform::MenuBar> MenuBar(int index = 0) const;
    void SetMenuBar(const Ref<platform::MenuBar>& bar, int index = 0);

private:
    Ref<platform::MenuBar> m_menu_bar;
};

} // namespace platform
