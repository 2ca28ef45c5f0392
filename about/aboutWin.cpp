#include "about/aboutWin.h"

#include "about/CreditsPage.h"
#include "common/MediaLibrary.h"
#include "platform/compat/Functions.h"
#include "platform/resources/ProgramLocation.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/ImplicitInstance.h"
#include "platform/windows/StaticText.h"
#include "platform/windows/Timer.h"

using platform::Canvas;
using platform::Event;
using platform::RectControl;
using platform::Ref;
using platform::StaticText;
using platform::Timer;

namespace about {

namespace {

constexpr platform::Color kWhite{255, 255, 255};
constexpr platform::Color kLinkHover{0, 0, 255};

// The makers, named as they are: the program and its slider control are both the team's work.
constexpr const char* kAuthor = "Quorvane team";
constexpr const char* kSliderAuthor = "Quorvane team";

void open_credits(const char* section) {
    platform::ShowURL(CreditsPage::address(platform::ProgramLocation::executable(), section));
}

} // namespace

void aboutWin::Layout() {
    SetWidth(141);
    SetHeight(122);
    SetHasBackColor(true);
    SetBackColor(platform::RGB(0, 0, 0));
    SetFullScreen(false);
    SetMinimumSize(64, 64);
    SetMaximumSize(32000, 32000);
    SetVisible(true);
}

void aboutWin::CreateControls() {
    _CreateControls0();
}

void aboutWin::_CreateControls0() {
    auto place = [](RectControl& c, int left, int top, int width, int height, RectControl* parent) {
        c.SetBounds(left, top, width, height);
        c.SetParent(parent);
    };
    auto label = [](StaticText& t, const char* text, bool multiline) {
        t.SetText(text);
        t.SetTextFont("System");
        t.SetTextSize(12);
        t.SetBold(false);
        t.SetItalic(false);
        t.SetUnderline(false);
        t.SetTextAlign(StaticText::AlignCenter);
        t.SetTextColor(kWhite);
        t.SetMultiLine(multiline);
    };

    Ref<StaticText> credit = add<StaticText>("StaticText1");
    place(*credit, 6, 6, 125, 15, nullptr);
    label(*credit, "Quorvane by\r", true);

    Ref<Canvas> canvas1 = add<Canvas>("Canvas1");
    place(*canvas1, 20, 23, 100, 16, nullptr);

    Ref<StaticText> author = add<StaticText>("StaticText3");
    place(*author, 20, 23, 100, 16, canvas1.get());
    label(*author, kAuthor, false);
    bind(*author, Event::MouseUp, &aboutWin::StaticText3_MouseUp);
    bind(*author, Event::MouseDown, &aboutWin::StaticText3_MouseDown);
    bind(*author, Event::MouseExit, &aboutWin::StaticText3_MouseExit);
    bind(*author, Event::MouseEnter, &aboutWin::StaticText3_MouseEnter);

    Ref<Timer> timer = add<Timer>("Timer1");
    timer->SetPeriod(5000);
    timer->SetMode(Timer::ModeOff);
    bind(*timer, Event::Action, &aboutWin::Timer1_Action);

    // The empty middle line is where the slider author's name goes.
    Ref<StaticText> thanks = add<StaticText>("StaticText2");
    place(*thanks, 13, 55, 115, 56, nullptr);
    label(*thanks, "Thanks to\r\rfor SuperSlider", true);

    Ref<Canvas> canvas2 = add<Canvas>("Canvas2");
    place(*canvas2, 20, 70, 100, 15, thanks.get());

    Ref<StaticText> slider_author = add<StaticText>("StaticText4");
    place(*slider_author, 20, 70, 100, 14, canvas2.get());
    label(*slider_author, kSliderAuthor, false);
    bind(*slider_author, Event::MouseUp, &aboutWin::StaticText4_MouseUp);
    bind(*slider_author, Event::MouseDown, &aboutWin::StaticText4_MouseDown);
    bind(*slider_author, Event::MouseExit, &aboutWin::StaticText4_MouseExit);
    bind(*slider_author, Event::MouseEnter, &aboutWin::StaticText4_MouseEnter);
}

// Each activation gives the box another five seconds.
void aboutWin::Event_Activate() {
    control_as<Timer>("Timer1")->SetMode(Timer::ModeSingle);
}

void aboutWin::Timer1_Action() {
    Hide();
}

bool aboutWin::Event_MouseDown(int, int) {
    return true;
}

void aboutWin::Event_MouseUp(int, int) {
    Hide();
}

void aboutWin::StaticText3_MouseEnter() {
    control_as<StaticText>("StaticText3")->SetTextColor(kLinkHover);
}

void aboutWin::StaticText3_MouseExit() {
    control_as<StaticText>("StaticText3")->SetTextColor(kWhite);
}

bool aboutWin::StaticText3_MouseDown(int, int) {
    return true;
}

// The program's own link also starts the surf, unless it is sounding already.
void aboutWin::StaticText3_MouseUp(int, int) {
    open_credits(CreditsPage::kProgramSection);
    Ref<platform::Sound> sound = surf();
    if (!sound->IsPlaying())
        sound->PlayLooping();
}

void aboutWin::StaticText4_MouseEnter() {
    control_as<StaticText>("StaticText4")->SetTextColor(kLinkHover);
}

void aboutWin::StaticText4_MouseExit() {
    control_as<StaticText>("StaticText4")->SetTextColor(kWhite);
}

bool aboutWin::StaticText4_MouseDown(int, int) {
    return true;
}

void aboutWin::StaticText4_MouseUp(int, int) {
    open_credits(CreditsPage::kSliderSection);
}

} // namespace about

Ref<about::aboutWin> aboutWin() {
    return platform::implicit_instance<about::aboutWin>("aboutWin");
}
