// The program on a media folder with one item at a time broken in every way a broken install
// can break it: it starts, a missing picture leaves its place empty, a missing sound fails only
// the handlers that play it, and nothing crashes, hangs or allocates without bound.
#include "common/MediaItems.h"
#include "platform/resources/FolderResourceFork.h"
#include "platform/windows/StaticText.h"
#include "scene/Window1.h"
#include "tests/support/FakeMedia.h"
#include "tests/support/MediaBytes.h"
#include "tests/support/TestProgram.h"
#include "volume/loudnessWin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

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
    int speaker = Window1()->control_as<platform::RectControl>("Canvas3")->Left() + 12;
    program.move(speaker, 12);
    program.click(speaker, 12);
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

TEST(BadMedia, EachItemBrokenEveryWayFailsOnlyWhereItIsUsed) {
    fs::path root = fs::temp_directory_path() / ("quorvane-badmedia-" + std::to_string(::getpid()));
    fs::path good = root / "good";
    FakeMedia(FakeMedia::Size::Small).write_folder(good);
    // Where a missing sound may fail: the handlers that play or ask about it.
    const std::set<std::string> sound_handlers{
        "Window1.Canvas2_MouseUp",
        "Window1.Timer2_Action",
        "Window1.Timer3_Action",
        "loudnessWin.SuperSlider1_ValueChanged (in loudnessWin.SuperSlider1_MouseDown)",
        "loudnessWin.SuperSlider1_ValueChanged (in loudnessWin.SuperSlider1_MouseDrag)",
        "aboutWin.StaticText3_MouseUp"};
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
            TestProgram program(options, platform::make_ref<platform::FolderResourceFork>(dir));
            play_with(program);
            for (const auto& failure : program.runtime().failures().records()) {
                EXPECT_FALSE(picture) << "a broken picture failed " << failure.handler;
                EXPECT_TRUE(sound_handlers.count(failure.handler))
                    << "failed in " << failure.handler << ": " << failure.what;
            }
            // A cut-short sound plays what it holds; one that cannot be read at all fails
            // where it is used.
            bool unreadable = d != Damage::Truncated && d != Damage::Absurd;
            if (!picture && unreadable) {
                EXPECT_GT(program.failure_count(), 0) << "nothing used the broken sound";
            }
            EXPECT_EQ(program.shut_down(), 0);
            fs::copy_file(kept, file, fs::copy_options::overwrite_existing);
        }
    }
    fs::remove_all(root);
}
