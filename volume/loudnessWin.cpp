#include "volume/loudnessWin.h"

#include "common/MediaLibrary.h"
#include "platform/compat/Functions.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/ImplicitInstance.h"
#include "scene/Window1.h"
#include "volume/CarbonDeclares.h"
#include "volume/SuperSlider.h"

using platform::Canvas;
using platform::Event;
using platform::Picture;
using platform::Ref;

namespace volume {

namespace {

// The speaker for a volume: one wave when quiet, two from 80, three from 160.
Ref<Picture> speaker_for(int32_t v) {
    if (v < 80)
        return speaker1();
    if (v < 160)
        return speaker2();
    return speaker3();
}

} // namespace

void loudnessWin::Layout() {
    SetMinimumSize(42, 64);
    SetMaximumSize(32000, 32000);
    SetWidth(42);
    SetHeight(180);
    SetHasBackColor(true);
    SetBackColor(platform::RGB(0, 0, 0));
    SetFullScreen(false);
    SetVisible(true);
}

void loudnessWin::CreateControls() {
    Ref<SuperSlider> slider = add<SuperSlider>("SuperSlider1");
    slider->SetBounds(13, 31, 20, 140);
    slider->SetLocks(false, true, false, false);
    slider->Minimum = 0;
    slider->Maximum = 255;
    slider->value = 128;
    slider->reverseDirection = true;
    slider->small = false;
    slider->LiveScroll = true;
    slider->Round = true;
    slider->TickMarks = false;
    slider->NumTickMarks = 0;
    slider->PointsDownRight = false;
    slider->AbortOnDragOut = false;
    bind(*slider, Event::ValueChanged, &loudnessWin::SuperSlider1_ValueChanged);

    Ref<Canvas> speaker = add<Canvas>("Canvas1");
    speaker->SetBackdrop(speaker2());
    speaker->SetBounds(11, 2, 25, 21);
    speaker->SetLocks(false, false, false, false);
}

void loudnessWin::Event_Open() {
    control_as<Canvas>("Canvas1")->SetBackdrop(speaker2());
    Window1()->control_as<Canvas>("Canvas3")->SetBackdrop(speaker2());
    // The slider starts in the middle whatever the system volume is; the volume is left alone.
    setSlider(128);
}

void loudnessWin::setSlider(int32_t v) {
    Ref<SuperSlider> slider = control_as<SuperSlider>("SuperSlider1");
    slider->value = v;
    slider->Refresh(true);
}

void loudnessWin::SuperSlider1_ValueChanged() {
    int32_t v = control_as<SuperSlider>("SuperSlider1")->value;
    CarbonDeclares::SetOutputVolume(v, v);
    Ref<Picture> speaker = speaker_for(v);
    control_as<Canvas>("Canvas1")->SetBackdrop(speaker);
    Window1()->control_as<Canvas>("Canvas3")->SetBackdrop(speaker);
    // The beep lets the user hear the new level while the surf is silent.
    if (!surf()->IsPlaying())
        platform::Beep();
}

void loudnessWin::Event_Activate() {
    Window1()->showing = true;
}

void loudnessWin::Event_Deactivate() {
    Window1()->showing = false;
}

void loudnessWin::Event_MouseEnter() {
    Show();
}

void loudnessWin::Event_MouseExit() {
    Hide();
    Window1()->control_as<Canvas>("Canvas3")->SetVisible(false);
}

} // namespace volume

Ref<volume::loudnessWin> loudnessWin() {
    return platform::implicit_instance<volume::loudnessWin>("loudnessWin");
}
