#include "scene/Window1.h"

#include "about/aboutWin.h"
#include "common/MediaLibrary.h"
#include "common/Plugins.h"
#include "platform/compat/Functions.h"
#include "platform/compat/System.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/Desktop.h"
#include "platform/windows/ImplicitInstance.h"
#include "platform/windows/Screen.h"
#include "platform/windows/StaticText.h"
#include "platform/windows/Timer.h"
#include "volume/loudnessWin.h"

#include <algorithm>

using platform::Canvas;
using platform::Event;
using platform::make_ref;
using platform::RectControl;
using platform::Ref;
using platform::Screen;
using platform::StaticText;
using platform::Timer;

namespace scene {

namespace {

int screen_width() {
    return Screen::Get(0)->Width();
}

// The speaker sits near the right edge of a wide screen and where the strip was designed to hold
// it on a narrower one, brought in where that would leave it past the screen's edge (with room
// for the panel that drops down from it).
int speaker_left(int width) {
    return width > 1152 ? width - 200 : std::min(898, width - 31);
}

// The panel's own speaker lies exactly over the strip's.
int panel_left(int width) {
    return speaker_left(width) - 11;
}

// The sleep timer's picture sits just left of the speaker, well clear of About.
int timer_left(int width) {
    return speaker_left(width) - 35;
}

} // namespace

Window1::Window1() = default;

void Window1::Layout() {
    SetBackdrop(bigsky());
    SetHasBackColor(true);
    SetBackColor(platform::RGB(0, 0, 0));
    SetFullScreen(true);
    SetMinimumSize(64, 64);
    SetMaximumSize(32000, 32000);
    SetWidth(945);
    SetHeight(573);
    SetVisible(true);
}

void Window1::CreateControls() {
    _CreateControls0();
}

void Window1::_CreateControls0() {
    struct Place {
        int left, top, width, height;
        bool visible;
        bool lock_left, lock_top, lock_right;
    };
    auto place = [](RectControl& c, const Place& p, RectControl* parent) {
        c.SetBounds(p.left, p.top, p.width, p.height);
        c.SetVisible(p.visible);
        c.SetLocks(p.lock_left, p.lock_top, p.lock_right, false);
        c.SetParent(parent);
    };
    auto label = [](StaticText& t, const char* text) {
        t.SetText(text);
        t.SetTextColor(platform::RGB(255, 255, 255));
        t.SetTextFont("System");
        t.SetTextSize(14);
        t.SetTextAlign(StaticText::AlignLeft);
        t.SetMultiLine(false);
    };
    auto timer = [this](const char* name, int mode, int period) {
        Ref<Timer> t = add<Timer>(name);
        t->SetPeriod(period);
        t->SetMode(mode);
        return t;
    };
    // A star canvas gets its picture before anything else.
    auto star = [this, &place](const char* name, int left, int top, Ref<platform::Picture> pic) {
        Ref<Canvas> c = add<Canvas>(name);
        c->SetBackdrop(std::move(pic));
        place(*c, {left, top, 16, 16, true, false, false, false}, nullptr);
    };

    Ref<Canvas> canvas1 = add<Canvas>("Canvas1");
    place(*canvas1, {4, 0, 937, 25, true, true, true, true}, nullptr);
    bind(*canvas1, Event::MouseUp, &Window1::Canvas1_MouseUp);
    bind(*canvas1, Event::MouseExit, &Window1::Canvas1_MouseExit);
    bind(*canvas1, Event::MouseEnter, &Window1::Canvas1_MouseEnter);
    bind(*canvas1, Event::MouseDown, &Window1::Canvas1_MouseDown);

    Ref<StaticText> quit = add<StaticText>("StaticText1");
    place(*quit, {24, 4, 35, 20, false, true, true, true}, canvas1.get());
    label(*quit, "Quit");
    bind(*quit, Event::MouseUp, &Window1::StaticText1_MouseUp);
    bind(*quit, Event::MouseDown, &Window1::StaticText1_MouseDown);

    Ref<Canvas> canvas2 = add<Canvas>("Canvas2");
    place(*canvas2, {685, 108, 142, 142, true, false, true, false}, nullptr);
    bind(*canvas2, Event::MouseUp, &Window1::Canvas2_MouseUp);
    bind(*canvas2, Event::MouseDown, &Window1::Canvas2_MouseDown);
    bind(*canvas2, Event::MouseExit, &Window1::Canvas2_MouseExit);
    bind(*canvas2, Event::MouseEnter, &Window1::Canvas2_MouseEnter);

    Ref<StaticText> about = add<StaticText>("StaticText2");
    place(*about, {76, 4, 45, 20, false, false, false, false}, canvas1.get());
    label(*about, "About");
    bind(*about, Event::MouseUp, &Window1::StaticText2_MouseUp);
    bind(*about, Event::MouseDown, &Window1::StaticText2_MouseDown);

    bind(*timer("Timer1", Timer::ModeMultiple, 75), Event::Action, &Window1::Timer1_Action);
    bind(*timer("Timer2", Timer::ModeOff, 86000), Event::Action, &Window1::Timer2_Action);
    bind(*timer("Timer3", Timer::ModeOff, 50000), Event::Action, &Window1::Timer3_Action);

    Ref<Canvas> canvas3 = add<Canvas>("Canvas3");
    canvas3->SetBackdrop(volume::loudnessWin::speakerForSystemVolume());
    place(*canvas3, {898, 3, 25, 21, false, false, true, false}, canvas1.get());
    bind(*canvas3, Event::Open, &Window1::Canvas3_Open);
    bind(*canvas3, Event::MouseUp, &Window1::Canvas3_MouseUp);
    bind(*canvas3, Event::MouseDown, &Window1::Canvas3_MouseDown);

    star("starcan1", 150, 108, star1b());
    star("starcan2", 75, 425, star1b());
    star("starcan3", 251, 960, star1());
    bind(*timer("timerxstars1", Timer::ModeMultiple, 250), Event::Action,
         &Window1::timerxstars1_Action);
    star("starcan4", 1590, 1005, star1());
    bind(*timer("timerxstars2", Timer::ModeMultiple, 1000), Event::Action,
         &Window1::timerxstars2_Action);
    star("starcan5", 36, 900, star1b());

    Ref<Canvas> canvas4 = add<Canvas>("Canvas4");
    canvas4->SetBackdrop(sleep1());
    place(*canvas4, {863, 3, 25, 21, false, false, true, false}, canvas1.get());
    bind(*canvas4, Event::MouseUp, &Window1::Canvas4_MouseUp);
    bind(*canvas4, Event::MouseDown, &Window1::Canvas4_MouseDown);
    bind(*canvas4, Event::MouseEnter, &Window1::Canvas4_MouseEnter);
    Ref<Timer> timer4 = timer("Timer4", Timer::ModeOff, Night::kTickMs);
    bind(*timer4, Event::Action, &Window1::Timer4_Action);
    bind(*timer("Timer5", Timer::ModeOff, kStripByKeyMs), Event::Action, &Window1::Timer5_Action);
    m_night = std::make_unique<Night>(timer4);
}

void Window1::Event_Open() {
    dome = make_ref<platform::FrameCycle>(
        std::vector<Ref<platform::Picture>>{sky(), sky1(), sky2(), sky3(), sky4(), sky5(), sky6(),
                                            sky7(), sky8(), sky9(), sky10(), sky11()});
    r = make_ref<platform::Random>();
    place_dome_and_moon();
}

void Window1::place_dome_and_moon() {
    reso = screen_width() - 1170;
    control_as<Canvas>("Canvas2")->SetLeft(screen_width() - 486);
}

// The speaker shows the system's volume from the start, and follows it when the volume keys or
// the desktop's mixer change it, before the volume panel was ever opened too.
void Window1::Canvas3_Open() {
    place_speaker();
    m_volumeWatch = volume::loudnessWin::watchSystemVolume();
}

void Window1::place_speaker() {
    control_as<Canvas>("Canvas3")->SetLeft(speaker_left(screen_width()));
    control_as<Canvas>("Canvas4")->SetLeft(timer_left(screen_width()));
}

// The screen changed size: what is placed by its width is placed again, the open panel goes with
// the speaker, and the frame on show is drawn at its new place at once. Sounds, timers and the
// dome's count go on as they were.
void Window1::Event_Resized() {
    place_dome_and_moon();
    place_speaker();
    if (showing)
        loudnessWin()->SetLeft(panel_left(screen_width()));
    draw_dome((count + 11) % 12);
}

// The screen was painted afresh: the frame on show is drawn again at once, rather than leaving
// the bare backdrop where the dome was until the next tick.
void Window1::Event_Exposed() {
    draw_dome((count + 11) % 12);
}

void Window1::draw_dome(int32_t frame) {
    if (dome)
        Graphics()->DrawFrame(*dome, frame, reso, 0);
}

void Window1::Timer1_Action() {
    // Each frame is drawn over the last without erasing; the strip is repainted over it.
    if (count < 11) {
        draw_dome(count);
        count = count + 1;
    } else {
        draw_dome(count);
        count = 0;
    }
    control_as<RectControl>("Canvas1")->Refresh(true);
}

void Window1::timerxstars1_Action() {
    if (control_as<Canvas>("starcan1")->Backdrop() == star1b()) {
        control_as<Canvas>("starcan1")->SetBackdrop(star1());
        control_as<Canvas>("starcan4")->SetBackdrop(star1b());
        control_as<Canvas>("starcan5")->SetBackdrop(star1());
    } else {
        control_as<Canvas>("starcan1")->SetBackdrop(star1b());
        control_as<Canvas>("starcan5")->SetBackdrop(star1b());
        control_as<Canvas>("starcan4")->SetBackdrop(star1());
    }
    control_as<Timer>("timerxstars1")->SetPeriod(r->InRange(100, 500));
}

void Window1::timerxstars2_Action() {
    if (control_as<Canvas>("starcan2")->Backdrop() == star1b()) {
        control_as<Canvas>("starcan2")->SetBackdrop(star1());
        control_as<Canvas>("starcan3")->SetBackdrop(star1b());
    } else {
        control_as<Canvas>("starcan2")->SetBackdrop(star1b());
        control_as<Canvas>("starcan3")->SetBackdrop(star1());
    }
    control_as<Timer>("timerxstars2")->SetPeriod(r->InRange(50, 400));
}

bool Window1::Event_MouseDown(int, int) {
    return true;
}

// A click on the bare sky puts the speaker and its panel away.
void Window1::Event_MouseUp(int, int) {
    control_as<Canvas>("Canvas3")->SetVisible(false);
    loudnessWin()->Hide();
    platform::System::Cursors::Show();
}

void Window1::Canvas1_MouseEnter() {
    show_strip_controls(true);
}

void Window1::Canvas1_MouseExit() {
    m_strip_by_key = false;
    show_strip_controls(false);
}

void Window1::show_strip_controls(bool shown) {
    control_as<StaticText>("StaticText1")->SetVisible(shown);
    control_as<StaticText>("StaticText2")->SetVisible(shown);
    control_as<Canvas>("Canvas4")->SetVisible(shown);
    // The speaker stays while its volume panel is the active window.
    control_as<Canvas>("Canvas3")->SetVisible(shown || showing);
}

void Window1::show_strip() {
    show_strip_controls(true);
    m_strip_by_key = true;
    Ref<Timer> timer = control_as<Timer>("Timer5");
    timer->SetPeriod(kStripByKeyMs);
    timer->SetMode(Timer::ModeSingle);
}

// The pointer's first move after a key showed the strip puts it away, unless the pointer is
// in the strip: then it goes as it would have come, when the pointer leaves. Looked at once
// the move has been dispatched.
void Window1::pointer_moved() {
    if (!m_strip_by_key)
        return;
    Ref<Timer> timer = control_as<Timer>("Timer5");
    timer->SetPeriod(0);
    timer->SetMode(Timer::ModeSingle);
}

void Window1::Timer5_Action() {
    if (!m_strip_by_key)
        return;
    m_strip_by_key = false;
    if (!desktop().dispatcher().is_hovering(*control_as<RectControl>("Canvas1")))
        show_strip_controls(false);
}

bool Window1::Canvas4_MouseDown(int, int) {
    return true;
}

void Window1::Canvas4_MouseUp(int, int) {
    m_night->cycle_sleep();
}

void Window1::Canvas4_MouseEnter() {
    m_night->tell_minutes_left();
}

void Window1::Timer4_Action() {
    m_night->tick();
}

bool Window1::Canvas1_MouseDown(int, int) {
    return true;
}

void Window1::Canvas1_MouseUp(int, int) {
    control_as<Canvas>("Canvas3")->SetVisible(true);
}

bool Window1::StaticText1_MouseDown(int, int) {
    return true;
}

void Window1::StaticText1_MouseUp(int, int) {
    platform::Quit(0);
}

bool Window1::StaticText2_MouseDown(int, int) {
    return true;
}

void Window1::StaticText2_MouseUp(int, int) {
    ::aboutWin()->Show();
}

bool Window1::Canvas3_MouseDown(int, int) {
    return true;
}

// The panel drops down from the speaker: its own speaker lies exactly over this one.
void Window1::Canvas3_MouseUp(int, int) {
    loudnessWin()->SetLeft(panel_left(screen_width()));
    loudnessWin()->SetTop(1);
    loudnessWin()->Show();
}

void Window1::Canvas2_MouseEnter() {
    control_as<Canvas>("Canvas2")->SetMouseCursor(platform::System::Cursors::FingerPointer());
}

void Window1::Canvas2_MouseExit() {
    control_as<Canvas>("Canvas2")->SetMouseCursor(platform::System::Cursors::StandardPointer());
}

bool Window1::Canvas2_MouseDown(int, int) {
    return true;
}

void Window1::Canvas2_MouseUp(int, int) {
    toggle_beach();
}

// The moon starts and stops the beach. Whether the sounds are on is read from surf itself, so a
// surf started elsewhere counts too.
void Window1::toggle_beach() {
    if (surf()->IsPlaying()) {
        surf()->Stop();
        walk()->Stop();
        surf2()->Stop();
        control_as<Timer>("Timer2")->SetMode(Timer::ModeOff);
        control_as<Timer>("Timer3")->SetMode(Timer::ModeOff);
    } else {
        // Started after the sleep timer's landing (from the media controls), it wakes the night.
        if (m_night->is_landed())
            m_night->awake();
        surf()->PlayLooping();
        walk()->Play();
        control_as<Timer>("Timer3")->SetMode(Timer::ModeSingle);
        control_as<Timer>("Timer2")->SetMode(Timer::ModeMultiple);
    }
    ObscureCursorMBS();
}

void Window1::Timer2_Action() {
    splash()->Play();
}

void Window1::Timer3_Action() {
    surf2()->PlayLooping();
}

} // namespace scene

Ref<scene::Window1> Window1() {
    return platform::implicit_instance<scene::Window1>("Window1");
}
