#include "scene/NoteWindow.h"

#include "platform/windows/ImplicitInstance.h"
#include "platform/windows/Screen.h"
#include "platform/windows/StaticText.h"
#include "platform/windows/Timer.h"

using platform::Color;
using platform::Event;
using platform::Ref;
using platform::StaticText;
using platform::Timer;

namespace scene {

namespace {

constexpr Color kBox{0, 0, 0};
constexpr Color kText{255, 255, 255};
constexpr int kWidth = 240;
constexpr int kHeight = 30;
// The box's bottom edge this far above the screen's: low, clear of the stars near the edge.
constexpr int kFromBottom = 120;

uint8_t between(uint8_t from, uint8_t to, int step, int steps) {
    return static_cast<uint8_t>(from + (to - from) * step / steps);
}

} // namespace

void NoteWindow::Layout() {
    SetMinimumSize(kWidth, kHeight);
    SetWidth(kWidth);
    SetHeight(kHeight);
    SetHasBackColor(true);
    SetBackColor(kBox);
    SetFullScreen(false);
    set_passive(true);
    SetVisible(false);
}

void NoteWindow::CreateControls() {
    Ref<StaticText> line = add<StaticText>("StaticText1");
    line->SetBounds(0, 6, kWidth, kHeight - 10);
    line->SetTextFont("System");
    line->SetTextSize(14);
    line->SetTextAlign(StaticText::AlignCenter);
    line->SetTextColor(kText);
    line->SetMultiLine(false);

    Ref<Timer> timer = add<Timer>("Timer1");
    timer->SetMode(Timer::ModeOff);
    bind(*timer, Event::Action, &NoteWindow::Timer1_Action);
}

void NoteWindow::say(const std::string& text) {
    Ref<StaticText> line = control_as<StaticText>("StaticText1");
    line->SetText(text);
    line->SetTextColor(kText);
    Ref<platform::Screen> screen = platform::Screen::Get(0);
    SetLeft((screen->Width() - kWidth) / 2);
    SetTop(screen->Height() - kFromBottom - kHeight);
    m_fade_step = 0;
    Ref<Timer> timer = control_as<Timer>("Timer1");
    timer->SetPeriod(kShownMs);
    timer->SetMode(Timer::ModeSingle);
    Show();
}

std::string NoteWindow::text() const {
    return Visible() ? control_as<StaticText>("StaticText1")->Text() : std::string();
}

// The text sinks into the box step by step, then the box goes.
void NoteWindow::Timer1_Action() {
    Ref<Timer> timer = control_as<Timer>("Timer1");
    if (++m_fade_step > kFadeSteps) {
        timer->SetMode(Timer::ModeOff);
        Hide();
        return;
    }
    control_as<StaticText>("StaticText1")
        ->SetTextColor({between(kText.r, kBox.r, m_fade_step, kFadeSteps),
                        between(kText.g, kBox.g, m_fade_step, kFadeSteps),
                        between(kText.b, kBox.b, m_fade_step, kFadeSteps)});
    timer->SetPeriod(kFadeStepMs);
    timer->SetMode(Timer::ModeMultiple);
}

} // namespace scene

Ref<scene::NoteWindow> NoteWindow() {
    return platform::implicit_instance<scene::NoteWindow>("NoteWindow");
}
