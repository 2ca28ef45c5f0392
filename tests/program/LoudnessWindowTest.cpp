#include "common/MediaLibrary.h"
#include "platform/desktop/PulseOutputVolume.h"
#include "platform/windows/Canvas.h"
#include "platform/windows/ImplicitInstance.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"
#include "tests/support/ThumbPixels.h"
#include "volume/SuperSlider.h"
#include "volume/loudnessWin.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using platform::Canvas;
using platform::Ref;
using testing_support::TestProgram;
using Volume = platform::OutputVolume::Reading;

namespace {

// The desktop's volume at a share of its normal full volume, as pactl sets it and the sound
// server reads it back.
Volume percent(int share, bool muted = false) {
    return {platform::PulseOutputVolume::level(static_cast<uint32_t>(share * 0x10000 / 100)),
            muted};
}

struct Panel {
    TestProgram program;
    Ref<volume::loudnessWin> panel;
    explicit Panel(TestProgram::Options options = {}) : program(options) {
        panel = program.open_volume_panel();
    }

    volume::SuperSlider& slider() {
        return *panel->control_as<volume::SuperSlider>("SuperSlider1");
    }
    Ref<platform::Picture> speaker() { return panel->control_as<Canvas>("Canvas1")->Backdrop(); }
    Ref<platform::Picture> scene_speaker() {
        return Window1()->control_as<Canvas>("Canvas3")->Backdrop();
    }
    // A screen point on the slider's track, y counted from the slider's top.
    int slider_x() { return panel->Left() + 13 + 10; }
    int slider_y(int y) { return panel->Top() + 31 + y; }
    const auto& volumes() { return program.backend().volume_events(); }
    // Counts what the slider reports.
    int& count_reports() {
        slider().bind(platform::Event::ValueChanged, [this](const platform::EventArgs&) {
            ++reports;
            return false;
        });
        return reports;
    }
    int reports = 0;
};

} // namespace

TEST(LoudnessWindow, OpensAtTheSystemVolumeAndItsSpeakerWhichTheTopStripShowsFromTheStart) {
    struct Case {
        std::optional<Volume> system;
        int value;
        Ref<platform::Picture> (*speaker)();
    } cases[] = {
        {percent(0), 0, speaker1},           {percent(30), 76, speaker1},
        {percent(100), 255, speaker3},       {percent(150), 255, speaker3},
        {percent(100, true), 255, speaker1}, {std::nullopt, 128, speaker2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        TestProgram program(TestProgram::Options::at_volume(c.system));
        EXPECT_EQ(Window1()->control_as<Canvas>("Canvas3")->Backdrop(), c.speaker());
        Ref<volume::loudnessWin> panel = program.open_volume_panel();
        EXPECT_EQ(panel->control_as<volume::SuperSlider>("SuperSlider1")->value, c.value);
        EXPECT_EQ(panel->control_as<Canvas>("Canvas1")->Backdrop(), c.speaker());
        EXPECT_EQ(Window1()->control_as<Canvas>("Canvas3")->Backdrop(), c.speaker());
        EXPECT_TRUE(program.backend().volume_events().empty()) << "opening sets no volume";
        EXPECT_EQ(program.backend().beep_count(), 0);
    }
}

TEST(LoudnessWindow, AChangeMadeElsewhereMovesTheThumbAndSpeakersWithoutSettingOrReporting) {
    Panel p(TestProgram::Options::at_volume(percent(30)));
    int& reports = p.count_reports();
    for (auto [volume, picture] : {std::pair{Volume{200, false}, speaker3()},
                                   {Volume{200, true}, speaker1()},
                                   {Volume{100, false}, speaker2()}}) {
        SCOPED_TRACE(volume.level);
        p.program.backend().set_system_volume(volume);
        p.program.advance(0);
        EXPECT_EQ(p.slider().value, volume.level);
        EXPECT_EQ(p.speaker(), picture);
        EXPECT_EQ(p.scene_speaker(), picture);
    }
    EXPECT_EQ(reports, 0);
    EXPECT_TRUE(p.volumes().empty());
    EXPECT_EQ(p.program.backend().beep_count(), 0);

    // Hidden, the panel keeps up, and shows the volume as it is when it opens again.
    p.program.move(p.panel->Left() - 50, 400);
    ASSERT_FALSE(p.panel->Visible());
    p.program.backend().set_system_volume(Volume{20, false});
    p.program.advance(0);
    EXPECT_EQ(p.program.open_volume_panel(), p.panel);
    EXPECT_EQ(p.slider().value, 20);
    EXPECT_EQ(p.speaker(), speaker1());
    EXPECT_TRUE(p.volumes().empty());
}

// The scene's speaker follows the volume from the start, before the panel was ever opened, and
// the panel then opens at the volume as it is.
TEST(LoudnessWindow, TheStripsSpeakerFollowsAChangeMadeElsewhereBeforeThePanelExists) {
    TestProgram program(TestProgram::Options::at_volume(percent(20)));
    auto scene_speaker = [] {
        return Window1()->control_as<Canvas>("Canvas3")->Backdrop();
    };
    EXPECT_EQ(scene_speaker(), speaker1());
    for (auto [volume, picture] : {std::pair{percent(100), speaker3()},
                                   {percent(100, true), speaker1()},
                                   {percent(50), speaker2()},
                                   {percent(100), speaker3()}}) {
        SCOPED_TRACE(volume.level);
        program.backend().set_system_volume(volume);
        program.advance(0);
        EXPECT_EQ(scene_speaker(), picture);
    }
    EXPECT_FALSE(platform::RuntimeGetImplicitWindow("loudnessWin.loudnessWin"))
        << "following the volume makes no panel";
    EXPECT_TRUE(program.backend().volume_events().empty());
    Ref<volume::loudnessWin> panel = program.open_volume_panel();
    EXPECT_EQ(panel->control_as<volume::SuperSlider>("SuperSlider1")->value, 255);
    EXPECT_EQ(program.failure_count(), 0) << program.reports();
}

// After a change made elsewhere the thumb stands at the new volume and counts as reported, so a
// click or a drag back to where it stood before sets the volume again, with the beep: the thumb,
// the system and both speakers then agree.
TEST(LoudnessWindow, AfterAChangeMadeElsewhereTheOldSpotSetsTheVolumeAgain) {
    Panel p(TestProgram::Options::at_volume(percent(50)));
    const int spot = 40, other = 60;
    const int at_spot = p.slider().GetValueFromCoords(10, spot);
    const int at_other = p.slider().GetValueFromCoords(10, other);
    ASSERT_GE(at_spot, 160);
    ASSERT_GE(at_other, 81);
    ASSERT_LT(at_other, 160);
    // Where the thumb is drawn, as a value.
    auto drawn = [&] {
        std::vector<uint32_t> column;
        for (int y = 0; y < 140; ++y)
            column.push_back(p.program.backend().pixel(p.slider_x(), p.slider_y(y)));
        std::optional<int> middle = testing_support::thumb_middle(column);
        return middle ? p.slider().GetValueFromCoords(10, *middle) : -1;
    };
    auto agree = [&](int value, Ref<platform::Picture> (*picture)()) {
        p.program.advance(0);
        EXPECT_EQ(p.slider().value, value);
        EXPECT_NEAR(drawn(), value, 2);
        EXPECT_EQ(p.program.backend().output_volume().read()->level, value);
        EXPECT_EQ(p.speaker(), picture());
        EXPECT_EQ(p.scene_speaker(), picture());
    };
    auto elsewhere = [&](uint8_t level) {
        p.program.backend().set_system_volume(Volume{level, false});
        p.program.advance(0);
    };

    // While the panel shows: a click at the last spot after the volume was lowered elsewhere.
    p.program.click(p.slider_x(), p.slider_y(spot));
    agree(at_spot, speaker3);
    elsewhere(40);
    agree(40, speaker1);
    size_t volumes = p.volumes().size();
    int beeps = p.program.backend().beep_count();
    p.program.click(p.slider_x(), p.slider_y(spot));
    agree(at_spot, speaker3);
    EXPECT_EQ(p.volumes().size(), volumes + 1);
    EXPECT_EQ(p.program.backend().beep_count(), beeps + 1);

    // During a drag: the change comes while the button is held, and the pointer moves on the
    // spot it held.
    p.program.press(p.slider_x(), p.slider_y(spot));
    p.program.move(p.slider_x(), p.slider_y(other));
    agree(at_other, speaker2);
    elsewhere(200);
    agree(200, speaker3);
    p.program.move(p.slider_x(), p.slider_y(other));
    p.program.release(p.slider_x(), p.slider_y(other));
    agree(at_other, speaker2);
    // Released without moving after the change: the change stands, and nothing is set.
    p.program.press(p.slider_x(), p.slider_y(spot));
    elsewhere(20);
    volumes = p.volumes().size();
    p.program.release(p.slider_x(), p.slider_y(spot));
    agree(20, speaker1);
    EXPECT_EQ(p.volumes().size(), volumes);
    EXPECT_EQ(p.program.failure_count(), 0) << p.program.reports();
}

TEST(LoudnessWindow, MovingTheSliderOfAMutedOutputUnmutesIt) {
    Panel p(TestProgram::Options::at_volume(percent(100, true)));
    EXPECT_EQ(p.speaker(), speaker1());
    p.program.click(p.slider_x(), p.slider_y(70));
    ASSERT_EQ(p.volumes().size(), 1u);
    Volume now = *p.program.backend().output_volume().read();
    EXPECT_FALSE(now.muted);
    EXPECT_EQ(now.level, p.slider().value);
    EXPECT_EQ(p.speaker(), speaker2());
}

TEST(LoudnessWindow, TheSliderSetsTheVolumeInBothHalvesAndEachBandShowsItsSpeaker) {
    Panel p;
    // Presses at the very top and bottom of the track: full and no volume, one level each.
    for (auto [row, value] : {std::pair{0, 255}, {139, 0}}) {
        size_t before = p.volumes().size();
        p.program.click(p.slider_x(), p.slider_y(row));
        EXPECT_EQ(p.slider().value, value);
        ASSERT_EQ(p.volumes().size(), before + 1);
        EXPECT_EQ(p.volumes().back().left, value);
        EXPECT_EQ(p.volumes().back().right, value);
    }
    for (auto [value, picture] :
         {std::pair{255, 182}, {0, 180}, {79, 180}, {80, 181}, {81, 181}, {159, 181}, {160, 182}}) {
        SCOPED_TRACE(value);
        p.slider().SetValue(value);
        EXPECT_EQ(p.speaker(), picture == 180   ? speaker1()
                               : picture == 181 ? speaker2()
                                                : speaker3());
        EXPECT_EQ(p.scene_speaker(), p.speaker());
        EXPECT_EQ(p.volumes().back().left, value);
        EXPECT_EQ(p.volumes().back().right, value);
    }
}

TEST(LoudnessWindow, DraggingBeepsOncePerReportedValueOnlyWhileTheSurfIsSilent) {
    Panel p;
    p.program.move(p.slider_x(), p.slider_y(60));
    p.program.press(p.slider_x(), p.slider_y(60));
    for (int y = 61; y <= 70; ++y)
        p.program.move(p.slider_x(), p.slider_y(y));
    p.program.move(p.slider_x(), p.slider_y(70)); // the same place: nothing new to report
    p.program.release(p.slider_x(), p.slider_y(70));
    size_t reported = p.volumes().size();
    EXPECT_EQ(reported, 11u);
    EXPECT_EQ(p.program.backend().beep_count(), 11);

    surf()->PlayLooping();
    p.program.press(p.slider_x(), p.slider_y(20));
    for (int y = 21; y <= 30; ++y)
        p.program.move(p.slider_x(), p.slider_y(y));
    p.program.release(p.slider_x(), p.slider_y(30));
    EXPECT_EQ(p.volumes().size(), reported + 11);
    EXPECT_EQ(p.program.backend().beep_count(), 11);
}

TEST(LoudnessWindow, LeavingHidesItAndTheSceneSpeakerAndShowingItAgainKeepsTheValue) {
    Panel p;
    p.slider().SetValue(200);
    p.program.move(p.slider_x(), p.slider_y(100));
    p.program.move(p.panel->Left() - 50, 400); // off the panel onto the sky
    EXPECT_FALSE(p.panel->Visible());
    EXPECT_FALSE(Window1()->control_as<Canvas>("Canvas3")->Visible());
    EXPECT_FALSE(Window1()->showing);

    Ref<volume::loudnessWin> again = p.program.open_volume_panel();
    EXPECT_EQ(again, p.panel);
    EXPECT_TRUE(again->Visible());
    EXPECT_EQ(p.slider().value, 200);
    EXPECT_EQ(p.speaker(), speaker3());
    EXPECT_EQ(p.volumes().size(), 1u);
}

TEST(LoudnessWindow, ActivationIsMirroredIntoTheScene) {
    Panel p;
    EXPECT_TRUE(Window1()->showing);
    // The pointer leaves the strip while the panel is active: the speaker stays. Its own
    // controls are no leaving of the panel.
    p.program.move(p.panel->Left() + 2, p.panel->Top() + 100); // the black beside the slider
    p.program.move(p.slider_x(), p.slider_y(50));
    p.program.move(p.panel->Left() + 20, p.panel->Top() + 10); // its speaker
    EXPECT_TRUE(p.panel->Visible());
    EXPECT_TRUE(Window1()->control_as<Canvas>("Canvas3")->Visible());
    p.program.click(p.panel->Left() - 400, 500); // the bare sky takes the activation and the panel
    EXPECT_FALSE(Window1()->showing);
    EXPECT_FALSE(p.panel->Visible());
    EXPECT_FALSE(Window1()->control_as<Canvas>("Canvas3")->Visible());
}
