#pragma once

#include "platform/base/Object.h"
#include "platform/base/Ref.h"
#include "platform/compat/MenuBar.h"

namespace platform {

// The application object. The framework sends it the application events; a program's
// application class overrides those it handles (none need be).
class Application : public Object {
public:
    // The menu bar, by index; this platform has one, at index 0.
    Ref<platform::MenuBar> MenuBar(int index = 0) const;
    void SetMenuBar(const Ref<platform::MenuBar>& bar, int index = 0);

    virtual void Open() {}
    virtual void Close() {}
    virtual void Activate() {}
    virtual void Deactivate() {}

private:
    Ref<platform::MenuBar> m_menu_bar;
};

} // namespace platform
