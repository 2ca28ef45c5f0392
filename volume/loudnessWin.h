#pragma once

#include "platform/base/Ref.h"
#include "platform/graphics/Picture.h"
#include "platform/sound/OutputVolume.h"
#include "platform/windows/Window.h"

#include <cstdint>
#include <memory>

namespace volume {

// The volume panel: a narrow black box that drops down from the scene's speaker, with a speaker
// picture of its own and a vertical slider that sets the system's output volume. Its thumb and
// both speakers show the system's volume as it is, also after a change made elsewhere. It hides
// as soon as the pointer leaves it.
class loudnessWin : public platform::Window {
public:
    std::string ClassName() const override { return "loudnessWin"; }

    // Puts the slider at v without reporting it and without touching the system volume.
    void setSlider(int32_t v);
    // The speaker for the system's output volume as it is: speaker2 where it cannot be read.
    static platform::Ref<platform::Picture> speakerForSystemVolume();
    // Has both speakers follow changes of the system's volume made elsewhere, the scene's from
    // now on and the panel's with its thumb once the panel exists, for as long as the handle is
    // kept.
    static std::shared_ptr<void> watchSystemVolume();

    void Layout() override;
    void CreateControls() override;
    void Event_Open() override;
    void Event_Activate() override;
    void Event_Deactivate() override;
    void Event_MouseEnter() override;
    void Event_MouseExit() override;

    void SuperSlider1_ValueChanged();
    static void systemVolumeChanged();
    // Moves the system's volume by a number of percent (Up and Down), as the slider sets it:
    // both speakers and the thumb follow. Returns the new volume in percent.
    static int stepVolume(int percent);

private:
    // Shows a volume the system has on both speakers, and on the thumb of panel where given.
    static void showVolume(const platform::OutputVolume::Reading& volume, loudnessWin* panel);
    // Sets the system's volume to v; the beep lets the user hear the new level while the surf
    // is silent.
    static void setSystemVolume(int32_t v);
};

} // namespace volume

// The volume panel's accessor: the one instance, made and opened on the first call.
platform::Ref<volume::loudnessWin> loudnessWin();
