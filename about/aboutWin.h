#pragma once

#include "platform/base/Ref.h"
#include "platform/windows/Window.h"

#include <string>

namespace about {

// The credits: a small black box over the scene with the program's makers and the slider's, the
// two names as links to the credits page. It puts itself away on a click on its background and
// five seconds after it becomes the active window; showing it again finds it as it was left.
class aboutWin : public platform::Window {
public:
    std::string ClassName() const override { return "aboutWin"; }

    void Layout() override;
    void CreateControls() override;
    void _CreateControls0();
    void Event_Activate() override;
    bool Event_MouseDown(int x, int y) override;
    void Event_MouseUp(int x, int y) override;

    void StaticText3_MouseUp(int x, int y);
    bool StaticText3_MouseDown(int x, int y);
    void StaticText3_MouseExit();
    void StaticText3_MouseEnter();
    void Timer1_Action();
    void StaticText4_MouseUp(int x, int y);
    bool StaticText4_MouseDown(int x, int y);
    void StaticText4_MouseExit();
    void StaticText4_MouseEnter();
};

} // namespace about

// The about window's accessor: the one instance, made and shown on the first call.
platform::Ref<about::aboutWin> aboutWin();
