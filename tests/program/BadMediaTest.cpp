// The program on a media folder with one item at a time broken in every way a broken install
// can break it: it starts, a missing picture leaves its place empty, a missing sound fails only
// the handlers that play it, and nothing crashes, hangs or allocates without bound.
#include "platform/FolderResourceFork.h"
#include "platform/StaticText.h"
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"
#include "volume/loudnessWin.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;
using platform::Ref;
using testing_support::TestProgram;

namespace {

void write_file(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> png(int w, int h) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4, 200);
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
    out.resize(size);
    return out;
}

void put(std::vector<uint8_t>& v, uint32_t x, int bytes) {
    for (int i = 0; i < bytes; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

// A WAV file whose data chunk declares data_bytes and holds held_bytes of silence.
std::vector<uint8_t> wav(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits,
                         uint32_t data_bytes, uint32_t held_bytes) {
    std::vector<uint8_t> v{'R', 'I', 'F', 'F'};
    put(v, 36 + data_bytes, 4);
    for (char c : std::string("WAVEfmt "))
        v.push_back(static_cast<uint8_t>(c));
    put(v, 16, 4);
    put(v, format, 2);
    put(v, channels, 2);
    put(v, rate, 4);
    put(v, rate * channels * bits / 8, 4);
    put(v, static_cast<uint32_t>(channels * bits / 8), 2);
    put(v, bits, 2);
    for (char c : std::string("data"))
        v.push_back(static_cast<uint8_t>(c));
    put(v, data_bytes, 4);
    v.resize(v.size() + held_bytes, 0);
    return v;
}

// A small but complete media folder.
void make_folder(const fs::path& dir) {
    fs::create_directories(dir / "pictures");
    fs::create_directories(dir / "sounds");
    for (int id = 168; id <= 185; ++id) {
        auto [w, h] = id <= 179   ? std::pair{40, 20}
                      : id == 183 ? std::pair{64, 64}
                                  : std::pair{16, 16};
        write_file(dir / "pictures" / (std::to_string(id) + ".png"), png(w, h));
    }
    for (int id = 168; id <= 171; ++id)
        write_file(dir / "sounds" / (std::to_string(id) + ".wav"),
                   wav(1, 2, 8000, 16, 8000 * 4 * 3, 8000 * 4 * 3));
}

enum class Damage { Missing, Empty, Truncated, NotMedia, Absurd, StrangeFormat };
const char* name(Damage d) {
    switch (d) {
    case Damage::Missing:
        return "missing";
    case Damage::Empty:
        return "empty";
    case Damage::Truncated:
        return "truncated";
    case Damage::NotMedia:
        return "not media at all";
    case Damage::Absurd:
        return "absurd size";
    case Damage::StrangeFormat:
        return "strange format";
    }
    return "?";
}

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
        if (is_picture) {
            // 100000 x 100000 pixels declared in the header.
            const uint8_t side[4] = {0x00, 0x01, 0x86, 0xA0};
            std::memcpy(&bytes[16], side, 4);
            std::memcpy(&bytes[20], side, 4);
        } else {
            bytes = wav(1, 2, 8000, 16, 0xFFFFFF00u, 160); // claims 4 GB of samples
        }
        break;
    case Damage::StrangeFormat:
        bytes = is_picture ? std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}
                           : wav(2, 7, 11025, 4, 400, 400); // 4-bit ADPCM, seven channels
        break;
    }
    write_file(file, bytes);
}

// Everything a user can do that touches media: the moon, the cue timers, the speaker and its
// slider, About and its first link.
void play_with(TestProgram& program) {
    program.advance(2000);
    program.click(1280 - 486 + 71, 179);
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
    program.click(1280 - 486 + 71, 179);
    program.advance(1000);
}

} // namespace

TEST(BadMedia, EachItemBrokenEveryWayFailsOnlyWhereItIsUsed) {
    fs::path root = fs::temp_directory_path() / ("quorvane-badmedia-" + std::to_string(::getpid()));
    fs::path good = root / "good";
    make_folder(good);
    // Where a missing sound may fail: the handlers that play or ask about it.
    const std::set<std::string> sound_handlers{
        "Window1.Canvas2_MouseUp",
        "Window1.Timer2_Action",
        "Window1.Timer3_Action",
        "loudnessWin.SuperSlider1_ValueChanged (in loudnessWin.SuperSlider1.MouseDown)",
        "loudnessWin.SuperSlider1_ValueChanged (in loudnessWin.SuperSlider1.MouseDrag)",
        "aboutWin.StaticText3_MouseUp"};
    for (int id = 168; id <= 185; ++id) {
        for (bool picture : {true, false}) {
            if (!picture && id > 171)
                continue;
            for (Damage d : {Damage::Missing, Damage::Empty, Damage::Truncated, Damage::NotMedia,
                             Damage::Absurd, Damage::StrangeFormat}) {
                SCOPED_TRACE(std::string(picture ? "picture " : "sound ") + std::to_string(id) +
                             " " + name(d));
                fs::path dir = good;
                fs::path file = dir / (picture ? "pictures" : "sounds") /
                                (std::to_string(id) + (picture ? ".png" : ".wav"));
                fs::path kept = root / "kept";
                fs::copy_file(file, kept, fs::copy_options::overwrite_existing);
                damage(file, d, picture);
                TestProgram::Options options;
                options.width = 1280;
                options.height = 800;
                TestProgram program(options, platform::make_ref<platform::FolderResourceFork>(dir));
                play_with(program);
                for (const auto& failure : program.runtime().failures()) {
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
    }
    fs::remove_all(root);
}
