// The program on a media folder with one item at a time broken in every way a broken install
// can break it: it starts, a missing picture leaves its place empty, a missing sound is silent
// and costs nothing else, and nothing crashes, hangs, fails or allocates without bound.
#include "common/MediaItems.h"
#include "common/MediaLibrary.h"
#include "platform/resources/FolderResourceFork.h"
#include "platform/windows/StaticText.h"
#include "scene/Window1.h"
#include "tests/support/FakeMedia.h"
#include "tests/support/MediaBytes.h"
#include "tests/support/TestProgram.h"
#include "volume/loudnessWin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;
using platform::Ref;
using testing_support::declare_png_size;
using testing_support::FakeMedia;
using testing_support::png_bytes;
using testing_support::TestProgram;
using testing_support::wav_bytes;
using testing_support::write_file;

namespace {

enum class Damage { Missing, Empty, Truncated, NotMedia, Absurd, StrangeFormat };
const char* const kDamageNames[] = {"missing",          "empty",       "truncated",
                                    "not media at all", "absurd size", "strange format"};

void damage(const fs::path& file, Damage d, bool is_picture) {
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    switch (d) {
    case Damage::Missing:
        fs::remove(file);
        return;
    case Damage::Empty:
        bytes.clear();
        break;
    case Damage::Truncated:
        bytes.resize(bytes.size() / 3);
        break;
    case Damage::NotMedia:
        bytes.assign({'<', 'h', 't', 'm', 'l', '>'});
        break;
    case Damage::Absurd:
        // 100000 x 100000 pixels, or 4 GB of samples, declared in the header.
        if (is_picture)
            declare_png_size(bytes, 100000, 100000);
        else
            bytes = wav_bytes(1, 2, 8000, 16, std::vector<uint8_t>(160), 0xFFFFFF00u);
        break;
    case Damage::StrangeFormat:
        // A GIF, or seven channels of 4-bit ADPCM.
        bytes = is_picture ? std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}
                           : wav_bytes(2, 7, 11025, 4, std::vector<uint8_t>(400));
        break;
    }
    write_file(file, bytes);
}

// Everything a user can do that touches media: the moon, the cue timers, the speaker and its
// slider, About and its first link.
void play_with(TestProgram& program) {
    program.advance(2000);
    program.click_moon();
    program.advance(90000);
    // The sleep timer's picture, lit by a click.
    int timer = Window1()->control_as<platform::RectControl>("Canvas4")->Left() + 12;
    program.move(timer, 12);
    program.click(timer, 12);
    program.open_volume_panel();
    int slider_x = 1280 - 211 + 23;
    program.move(slider_x, 60);
    program.press(slider_x, 60);
    program.move(slider_x, 150);
    program.release(slider_x, 150);
    program.move(600, 12);
    program.click(90, 12);
    int link_x = (1280 - 141) / 2 + 70, link_y = (800 - 122) / 2 + 30;
    program.move(link_x, link_y);
    program.click(link_x, link_y);
    program.advance(10000);
    program.click_moon();
    program.advance(1000);
}

} // namespace

TEST(BadMedia, EachItemBrokenEveryWayCostsOnlyItself) {
    fs::path root = fs::temp_directory_path() / ("quorvane-badmedia-" + std::to_string(::getpid()));
    fs::path good = root / "good";
    FakeMedia(FakeMedia::Size::Small).write_folder(good);
    for (const media_items::Item& item : media_items::kItems) {
        bool picture = item.kind == media_items::Kind::Picture;
        for (Damage d : {Damage::Missing, Damage::Empty, Damage::Truncated, Damage::NotMedia,
                         Damage::Absurd, Damage::StrangeFormat}) {
            SCOPED_TRACE(std::string(item.name) + " " + kDamageNames[static_cast<int>(d)]);
            fs::path dir = good;
            fs::path file = FakeMedia::file_of(dir, item);
            fs::path kept = root / "kept";
            fs::copy_file(file, kept, fs::copy_options::overwrite_existing);
            damage(file, d, picture);
            TestProgram::Options options;
            options.width = 1280;
            options.height = 800;
            testing::internal::CaptureStderr();
            {
                TestProgram program(options, platform::make_ref<platform::FolderResourceFork>(dir));
                play_with(program);
                EXPECT_EQ(program.failure_count(), 0) << program.reports();
                EXPECT_EQ(program.shut_down(), 0);
            }
            // A cut-short sound plays what it holds; any other damage is said once, naming the
            // file.
            std::string said = testing::internal::GetCapturedStderr();
            if (d != Damage::Truncated && d != Damage::Absurd) {
                EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
                EXPECT_NE(said.find(file.string()), std::string::npos) << said;
            }
            fs::copy_file(kept, file, fs::copy_options::overwrite_existing);
        }
    }
    fs::remove_all(root);
}

// A surf file that cannot be read: the moon starts and stops the beach all the same, the
// footsteps play at once and the second surf and the splashes on their timeline, the media
// controls and the about box's link see the beach playing, and the one line naming the file is
// all that is said.
TEST(BadMedia, ADamagedSurfCostsOnlyTheSurf) {
    fs::path root = fs::temp_directory_path() / ("quorvane-badsurf-" + std::to_string(::getpid()));
    FakeMedia(FakeMedia::Size::Small).write_folder(root);
    fs::path file = FakeMedia::file_of(root, media_items::item("surf"));
    damage(file, Damage::NotMedia, false);
    testing::internal::CaptureStderr();
    {
        TestProgram program(TestProgram::Options::screen(1280, 800),
                            platform::make_ref<platform::FolderResourceFork>(root));
        program.advance(1000);
        program.click_moon();
        EXPECT_TRUE(MediaLibrary::IsPlaying("surf"));
        program.advance(100000);
        using Kind = platform::HeadlessBackend::SoundEvent::Kind;
        std::vector<std::tuple<platform::Micros, std::string, Kind>> heard;
        for (const auto& e : program.backend().sound_events())
            heard.emplace_back(e.time / 1000, e.label, e.kind);
        EXPECT_EQ(heard, (decltype(heard){{1000, "surf", Kind::Loop},
                                          {1000, "sound 168", Kind::Play},
                                          {51000, "sound 171", Kind::Loop},
                                          {87000, "sound 169", Kind::Play}}));
        int link_x = (1280 - 141) / 2 + 70, link_y = (800 - 122) / 2 + 30;
        program.move(600, 12);
        program.click(98, 14);
        program.move(link_x, link_y);
        program.click(link_x, link_y);
        EXPECT_EQ(program.backend().opened_urls().size(), 1u);
        program.click_moon();
        EXPECT_FALSE(MediaLibrary::IsPlaying("surf"));
        EXPECT_FALSE(surf2()->IsPlaying());
        EXPECT_EQ(program.failure_count(), 0);
        EXPECT_EQ(program.reports(), "");
        EXPECT_EQ(program.shut_down(), 0);
    }
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("quorvane: sound 170: " + file.string() + ": ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    fs::remove_all(root);
}
