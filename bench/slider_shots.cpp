// Pictures of the slider for judging its look, enlarged four times and written as binary PPM
// files into the folder given: the 42x180 volume panel on black at values 0, 128 and 255, idle
// and pressed (slider-VALUE-STATE.ppm), and the other styles side by side (gallery.ppm).
//
// Usage: slider-shots FOLDER
#include "tests/support/SliderPanel.h"
#include "tests/support/TestProgram.h"

#include "platform/windows/Window.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kScale = 4;

// Horizontal sliders with round, pointed and small thumbs, tick marks, a disabled one, and
// pointed vertical ones.
class Gallery : public platform::Window {
public:
    std::string ClassName() const override { return "Gallery"; }
    void Layout() override {
        SetWidth(250);
        SetHeight(190);
        SetLeft(0);
        SetTop(0);
        SetHasBackColor(true);
        SetVisible(true);
    }
    void CreateControls() override {
        auto slider = [this](const char* name, platform::Rect r, int value) {
            platform::Ref<volume::SuperSlider> s = add<volume::SuperSlider>(name);
            s->SetBounds(r.x, r.y, r.w, r.h);
            s->Maximum = 255;
            s->value = value;
            return s;
        };
        slider("round", {10, 10, 140, 24}, 160)->Round = true;
        auto down = slider("down", {10, 40, 140, 26}, 64);
        down->PointsDownRight = true;
        down->TickMarks = true;
        down->NumTickMarks = 11;
        auto up = slider("up", {10, 75, 140, 26}, 192);
        up->TickMarks = true;
        up->NumTickMarks = 11;
        auto small = slider("small", {10, 110, 140, 24}, 100);
        small->small = true;
        small->PointsDownRight = true;
        small->TickMarks = true;
        small->NumTickMarks = 5;
        auto disabled = slider("disabled", {10, 145, 140, 24}, 90);
        disabled->Round = true;
        disabled->SetEnabled(false);
        auto right = slider("right", {165, 10, 26, 170}, 200);
        right->PointsDownRight = true;
        right->TickMarks = true;
        right->NumTickMarks = 9;
        right->reverseDirection = true;
        auto left = slider("left", {205, 10, 26, 170}, 60);
        left->TickMarks = true;
        left->NumTickMarks = 9;
        left->reverseDirection = true;
    }
};

bool write_ppm(const std::string& path, const platform::HeadlessBackend& backend,
               const platform::Rect& area) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    std::fprintf(out, "P6\n%d %d\n255\n", area.w * kScale, area.h * kScale);
    for (int y = 0; y < area.h * kScale; ++y)
        for (int x = 0; x < area.w * kScale; ++x) {
            uint32_t p = backend.pixel(area.x + x / kScale, area.y + y / kScale);
            unsigned char rgb[3] = {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
            std::fwrite(rgb, 1, 3, out);
        }
    return std::fclose(out) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    testing_support::TestProgram program({.width = 400, .height = 300, .start = false});
    auto panel = testing_support::SliderPanel::open();
    volume::SuperSlider& slider = panel->slider();
    for (int value : {0, 128, 255})
        for (bool pressed : {false, true}) {
            slider.value = value;
            slider.ThumbPressed = pressed;
            slider.Refresh(true);
            program.advance(0);
            std::string path = std::string(argv[1]) + "/slider-" + std::to_string(value) + "-" +
                               (pressed ? "pressed" : "idle") + ".ppm";
            if (!write_ppm(path, program.backend(), panel->frame())) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
            std::printf("%s\n", path.c_str());
        }
    panel->Hide();
    platform::Ref<Gallery> gallery = platform::make_ref<Gallery>();
    gallery->Construct();
    program.advance(0);
    std::string path = std::string(argv[1]) + "/gallery.ppm";
    if (!write_ppm(path, program.backend(), gallery->frame())) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}
