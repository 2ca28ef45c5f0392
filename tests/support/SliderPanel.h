#pragma once

#include "platform/base/Ref.h"
#include "platform/windows/Window.h"
#include "volume/SuperSlider.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// A small black window holding one slider, "SuperSlider1", set up as a volume slider is: 20x140
// at (13, 31), vertical, 0 (bottom) to 255 (top), 128 at open, round thumb, live reporting.
// Every ValueChanged is recorded with the value and the prevValue its handler saw.
class SliderPanel : public platform::Window {
public:
    static constexpr int kLeft = 100;
    static constexpr int kTop = 50;

    struct Report {
        int32_t value;
        int32_t prev_value;
        friend bool operator==(const Report&, const Report&) = default;
    };

    // Runs after the slider is set up as above and before anything opens: design-time changes.
    std::function<void(volume::SuperSlider&)> design;
    std::vector<Report> reports;
    int opens = 0;

    std::string ClassName() const override { return "SliderPanel"; }

    void Layout() override {
        SetWidth(42);
        SetHeight(180);
        SetLeft(kLeft);
        SetTop(kTop);
        SetHasBackColor(true);
        SetVisible(true);
    }

    void CreateControls() override {
        platform::Ref<volume::SuperSlider> s = add<volume::SuperSlider>("SuperSlider1");
        s->SetBounds(13, 31, 20, 140);
        s->Minimum = 0;
        s->Maximum = 255;
        s->value = 128;
        s->reverseDirection = true;
        s->LiveScroll = true;
        s->Round = true;
        if (design)
            design(*s);
        bind(*s, platform::Event::ValueChanged, &SliderPanel::SuperSlider1_ValueChanged);
        bind(*s, platform::Event::Open, &SliderPanel::SuperSlider1_Open);
    }

    volume::SuperSlider& slider() const { return *control_as<volume::SuperSlider>("SuperSlider1"); }
    std::vector<Report> take_reports() { return std::exchange(reports, {}); }

    // Screen pixels of a point in the slider's own coordinates.
    static int screen_x(int x) { return kLeft + 13 + x; }
    static int screen_y(int y) { return kTop + 31 + y; }

    // Builds and opens a panel, with design-time changes.
    static platform::Ref<SliderPanel> open(std::function<void(volume::SuperSlider&)> design = {}) {
        platform::Ref<SliderPanel> panel = platform::make_ref<SliderPanel>();
        panel->design = std::move(design);
        panel->Construct();
        return panel;
    }

private:
    void SuperSlider1_ValueChanged() {
        const volume::SuperSlider& s = slider();
        reports.push_back({s.value, s.prevValue});
    }
    void SuperSlider1_Open() { ++opens; }
};

} // namespace testing_support
