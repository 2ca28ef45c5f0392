#pragma once

#include "platform/base/Ref.h"
#include "platform/compat/MenuBar.h"

namespace app {

// The application's menu bar: a File menu with Quit and an Edit menu whose items do nothing.
class MenuBar1 : public platform::MenuBar {
public:
    MenuBar1();

    // The one instance, made on first use of the accessor.
    static platform::Ref<MenuBar1> _implicitInstance;

private:
    void Untitled1();
    void Untitled2();
};

} // namespace app

// The menu bar's accessor: the one instance, built on the first call.
platform::Ref<app::MenuBar1> MenuBar1();
