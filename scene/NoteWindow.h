#pragma once

#include "platform/base/Ref.h"
#include "platform/windows/Window.h"

#include <string>

namespace scene {

// A short note low in the middle of the screen ("Sleep in 30 min"), in the strip's font on a
// small black box, that fades out after a few seconds. It never becomes the active window and
// the pointer passes through it; a new note replaces the one on show. It is drawn only while it
// changes: when it appears, at each step of its fade and when it goes.
class NoteWindow : public platform::Window {
public:
    // How long a note stays before it fades, and how its fade goes.
    static constexpr int kShownMs = 3000;
    static constexpr int kFadeSteps = 6;
    static constexpr int kFadeStepMs = 80;

    std::string ClassName() const override { return "NoteWindow"; }

    void Layout() override;
    void CreateControls() override;
    void Timer1_Action();

    // Shows a note at once, in full, for its time.
    void say(const std::string& text);
    // The note on show, empty while none is.
    std::string text() const;

private:
    int m_fade_step = 0;
};

} // namespace scene

// The note window's accessor: the one instance, made (hidden) on the first call.
platform::Ref<scene::NoteWindow> NoteWindow();
