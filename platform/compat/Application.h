#pragma once

#include "platform/base/Object.h"
#include "platform/base/Ref.h"
#include "platform/compat/MenuBar.h"

#include <string>

namespace platform {

class FailureLog;

// Stands in for the framework's application object: registered at start-up and kept until the
// runtime exits, it carries the menu bar whose shortcuts the loop hands it. The program's
// application class handles none of the application's events, so none is raised.
class Application : public Object {
public:
    // The menu bar, by index; this platform has one, at index 0.
    Ref<platform::MenuBar> MenuBar(int index = 0) const;
    void SetMenuBar(const Ref<platform::MenuBar>& bar, int index = 0);

    // Cmd+key was pressed: the menu bar's item with that shortcut acts, if there is one. A
    // failure in its action ends it, reported to failures under the item's name.
    void menu_shortcut(const std::string& key, FailureLog& failures);

private:
    Ref<platform::MenuBar> m_menu_bar;
};

// Makes app the application: the running loop hands it the menu shortcuts and keeps it until
// the runtime exits.
void RuntimeRegisterAppObject(const Ref<Application>& app);

} // namespace platform
