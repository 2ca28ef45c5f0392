#pragma once

#include "platform/base/Ref.h"
#include "platform/compat/Random.h"
#include "platform/graphics/FrameCycle.h"
#include "platform/graphics/Picture.h"
#include "platform/windows/Window.h"
#include "scene/Night.h"

#include <array>
#include <cstdint>
#include <memory>

namespace scene {

// The scene: the whole screen as a night sky with the animated dome, five twinkling stars, a
// hidden strip along the top edge with Quit, About and the speaker, and the moon as an invisible
// hot spot that starts and stops the beach sounds.
class Window1 : public platform::Window {
public:
    Window1();
    std::string ClassName() const override { return "Window1"; }

    // True while the volume panel is the active window; the panel keeps it.
    bool showing = false;
    // The twelve dome frames, sky and sky1 to sky11, held as what changes from one to the next.
    platform::Ref<platform::FrameCycle> dome;
    // The next dome frame to draw, 0 to 11.
    int32_t count = 0;
    platform::Ref<platform::Random> r;
    // Where the dome frames are drawn: the screen's width less 1170.
    int32_t reso = 0;

    void Layout() override;
    void CreateControls() override;
    void _CreateControls0();
    void Event_Open() override;
    void Event_Resized() override;
    void Event_Exposed() override;
    bool Event_MouseDown(int x, int y) override;
    void Event_MouseUp(int x, int y) override;

    void Canvas1_MouseUp(int x, int y);
    void Canvas1_MouseExit();
    void Canvas1_MouseEnter();
    bool Canvas1_MouseDown(int x, int y);
    void StaticText1_MouseUp(int x, int y);
    bool StaticText1_MouseDown(int x, int y);
    void Canvas2_MouseUp(int x, int y);
    bool Canvas2_MouseDown(int x, int y);
    void Canvas2_MouseExit();
    void Canvas2_MouseEnter();
    void StaticText2_MouseUp(int x, int y);
    bool StaticText2_MouseDown(int x, int y);
    void Timer1_Action();
    void Timer2_Action();
    void Timer3_Action();
    void Canvas3_Open();
    void Canvas3_MouseUp(int x, int y);
    bool Canvas3_MouseDown(int x, int y);
    void timerxstars1_Action();
    void timerxstars2_Action();
    void Canvas4_MouseUp(int x, int y);
    bool Canvas4_MouseDown(int x, int y);
    void Canvas4_MouseEnter();
    void Timer4_Action();
    void Timer5_Action();

    // What a click on the moon does: starts the beach with its cues, or stops it.
    void toggle_beach();
    // The sleep timer, the dimmer and the beach fading in.
    Night& night() { return *m_night; }
    // Shows the top strip as the pointer at the top edge does, for a keyboard user: until the
    // pointer next moves away from it, or kStripByKeyMs pass.
    void show_strip();
    static constexpr int kStripByKeyMs = 5000;
    // The pointer moved somewhere.
    void pointer_moved();

private:
    // Draws a dome frame at its place, whole and at its own size.
    void draw_dome(int32_t frame);
    void place_dome_and_moon();
    void place_speaker();
    void show_strip_controls(bool shown);

    // Keeps the speaker, and the volume panel once made, at the system's volume.
    std::shared_ptr<void> m_volumeWatch;
    std::unique_ptr<Night> m_night;
    // The strip is shown by a key rather than by the pointer.
    bool m_strip_by_key = false;
};

} // namespace scene

// The scene window's accessor: the one instance, made and opened on the first call.
platform::Ref<scene::Window1> Window1();
