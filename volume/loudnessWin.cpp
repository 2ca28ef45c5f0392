#include "volume/loudnessWin.h"

#include "common/MediaLibrary.h"
#include "platform/compat/Functions.h"
#include "platform/compat/SoundManager.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/ImplicitInstance.h"
#include "scene/Window1.h"
#include "volume/CarbonDeclares.h"
#include "volume/SuperSlider.h"

#include <algorithm>
#include <cmath>

using platform::Canvas;
using platform::Event;
using platform::Picture;
using platform::Ref;
using Volume = platform::OutputVolume::Reading;

namespace volume {

namespace {

// Where the system volume cannot be read, the panel starts in the middle.
constexpr Volume kUnread{128, false};

// The speaker for a volume: one wave when quiet, two from 80, three from 160.
Ref<Picture> speaker_for(int32_t v) {
    if (v < 80)
        return speaker1();
    if (v < 160)
        return speaker2();
    return speaker3();
}

// A muted output shows the quiet speaker at any level.
Ref<Picture> speaker_for(const Volume& volume) {
    return volume.muted ? speaker1() : speaker_for(volume.level);
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

// The thumb starts at the system volume, which is read and left alone: a volume control that
// showed the middle whatever the volume would jump it at the first touch.
void loudnessWin::Event_Open() {
    showVolume(platform::GetDefaultOutputVolume().value_or(kUnread), this);
}

std::shared_ptr<void> loudnessWin::watchSystemVolume() {
    return platform::WatchDefaultOutputVolume("loudnessWin.systemVolumeChanged",
                                              &loudnessWin::systemVolumeChanged);
}

// Volume keys or the desktop's mixer moved the volume: the speakers and the thumb follow, without
// setting it. A panel not made yet reads the volume when it opens.
void loudnessWin::systemVolumeChanged() {
    if (std::optional<Volume> now = platform::GetDefaultOutputVolume())
        showVolume(*now, platform::existing_instance<loudnessWin>("loudnessWin").get());
}

void loudnessWin::showVolume(const Volume& volume, loudnessWin* panel) {
    Ref<Picture> speaker = speaker_for(volume);
    if (panel) {
        panel->setSlider(volume.level);
        // The system has that volume already, so the slider takes it as reported: a press where
        // the thumb stood before, or a drag back to it, is a change again.
        panel->control_as<SuperSlider>("SuperSlider1")->prevValue = volume.level;
        panel->control_as<Canvas>("Canvas1")->SetBackdrop(speaker);
    }
    Window1()->control_as<Canvas>("Canvas3")->SetBackdrop(speaker);
}

Ref<Picture> loudnessWin::speakerForSystemVolume() {
    return speaker_for(platform::GetDefaultOutputVolume().value_or(kUnread));
}

void loudnessWin::setSlider(int32_t v) {
    Ref<SuperSlider> slider = control_as<SuperSlider>("SuperSlider1");
    slider->value = v;
    slider->Refresh(true);
}

void loudnessWin::SuperSlider1_ValueChanged() {
    int32_t v = control_as<SuperSlider>("SuperSlider1")->value;
    setSystemVolume(v);
    Ref<Picture> speaker = speaker_for(v);
    control_as<Canvas>("Canvas1")->SetBackdrop(speaker);
    Window1()->control_as<Canvas>("Canvas3")->SetBackdrop(speaker);
}

void loudnessWin::setSystemVolume(int32_t v) {
    CarbonDeclares::SetOutputVolume(v, v);
    if (!surf()->IsPlaying())
        platform::Beep();
}

int loudnessWin::stepVolume(int percent) {
    Volume now = platform::GetDefaultOutputVolume().value_or(kUnread);
    int was = static_cast<int>(std::lround(now.level * 100.0 / 255));
    int next = std::clamp(was + percent, 0, 100);
    auto v = static_cast<int32_t>(std::lround(next * 255.0 / 100));
    setSystemVolume(v);
    showVolume({static_cast<uint8_t>(v), false},
               platform::existing_instance<loudnessWin>("loudnessWin").get());
    return next;
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
