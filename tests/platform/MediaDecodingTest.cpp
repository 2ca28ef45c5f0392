#include "platform/graphics/PngDecoder.h"
#include "platform/resources/FolderResourceFork.h"
#include "platform/sound/WavDecoder.h"
#include "tests/support/MediaBytes.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using testing_support::declare_png_size;
using testing_support::png_bytes;
using testing_support::TestProgram;
using testing_support::wav_bytes;
using testing_support::write_file;

TEST(PngDecoder, DecodesOpaqueAndTranslucentPicturesIntoScreenPixels) {
    std::string error;
    auto opaque = platform::PngDecoder::decode(png_bytes(7, 3, 0xFF123456u, false), error);
    ASSERT_TRUE(opaque) << error;
    EXPECT_EQ(opaque->width(), 7);
    EXPECT_EQ(opaque->at(6, 2), 0xFF123456u);
    EXPECT_TRUE(opaque->is_opaque());
    auto translucent = platform::PngDecoder::decode(png_bytes(2, 2, 0x80FFFFFFu, true), error);
    ASSERT_TRUE(translucent);
    EXPECT_FALSE(translucent->is_opaque());
}

// Garbage, truncated and strange files are the bad-media test's, through the whole program.
TEST(PngDecoder, RefusesAbsurdSizesWithAReason) {
    std::string error;
    std::vector<uint8_t> good = png_bytes(64, 64, 0xFF00FF00u, false);
    // Declares 100000 x 100000 pixels in its header: refused before any allocation.
    std::vector<uint8_t> huge = good;
    declare_png_size(huge, 100000, 100000);
    EXPECT_FALSE(platform::PngDecoder::decode(huge, error));
    // A chunk that claims two gigabytes in a file of a few hundred bytes.
    std::vector<uint8_t> liar(good.begin(), good.begin() + 33);
    const uint8_t header[8] = {0x7E, 0x00, 0x00, 0x63, 't', 'E', 'X', 't'};
    liar.insert(liar.end(), header, header + 8);
    EXPECT_FALSE(platform::PngDecoder::decode(liar, error));
    EXPECT_NE(error.find("past the end"), std::string::npos) << error;
}

TEST(WavDecoder, ReadsCommonEncodingsIntoSixteenBitSamples) {
    std::string error;
    auto s16 =
        platform::WavDecoder::decode(wav_bytes(1, 2, 44100, 16, {0x00, 0x40, 0x00, 0xC0}), error);
    ASSERT_TRUE(s16) << error;
    EXPECT_EQ(s16->channels, 2);
    EXPECT_EQ(s16->frames(), 1);
    EXPECT_EQ(s16->samples[0], 16384);
    EXPECT_EQ(s16->samples[1], -16384);

    auto u8 = platform::WavDecoder::decode(wav_bytes(1, 1, 8000, 8, {0x80, 0xFF, 0x00}), error);
    ASSERT_TRUE(u8) << error;
    EXPECT_EQ(u8->channels, 1);
    EXPECT_EQ(u8->samples, (std::vector<int16_t>{0, 32512, -32768}));

    float half = 0.5f;
    std::vector<uint8_t> f32(4);
    std::memcpy(f32.data(), &half, 4);
    auto fl = platform::WavDecoder::decode(wav_bytes(3, 1, 48000, 32, f32), error);
    ASSERT_TRUE(fl) << error;
    EXPECT_EQ(fl->samples[0], 16384);
    EXPECT_DOUBLE_EQ(fl->duration_seconds(), 1.0 / 48000);
}

TEST(WavDecoder, RefusesWhatItCannotPlayAndKeepsWhatACutFileHolds) {
    std::string error;
    EXPECT_FALSE(platform::WavDecoder::decode(wav_bytes(1, 2, 1, 16, {1, 2, 3, 4}), error));
    EXPECT_FALSE(platform::WavDecoder::decode(wav_bytes(1, 2, 44100, 16, {}), error));
    // A data chunk that claims more than the file holds keeps what is there.
    auto kept = platform::WavDecoder::decode(wav_bytes(1, 1, 44100, 16, {1, 0, 2, 0}, 8), error);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->frames(), 2);
}

TEST(FolderResourceFork, AnswersByKindAndIdAndNilForWhatItCannotUse) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("quorvane-fork-" + std::to_string(::getpid()));
    fs::create_directories(folder / "pictures");
    fs::create_directories(folder / "sounds");
    write_file(folder / "pictures" / "168.png", png_bytes(4, 4, 0xFF010203u, false));
    write_file(folder / "pictures" / "169.png", {'n', 'o', 'p', 'e'});
    write_file(folder / "sounds" / "168.wav", wav_bytes(1, 2, 44100, 16, {0, 0, 0, 0}));
    {
        TestProgram program(TestProgram::Options::runtime_only(), nullptr);
        auto fork = platform::make_ref<platform::FolderResourceFork>(folder);
        EXPECT_EQ(fork->GetPicture(168)->Width(), 4);
        EXPECT_FALSE(fork->GetPicture(169));
        EXPECT_FALSE(fork->GetPicture(170));
        EXPECT_TRUE(fork->GetSound(168));
        EXPECT_FALSE(fork->GetSound(169));
        EXPECT_EQ(platform::FolderResourceFork::locate(folder.parent_path() / "bin" / "quorvane"),
                  std::nullopt);
    }
    fs::path prefix = folder / "prefix";
    fs::create_directories(prefix / "share" / "quorvane" / "media" / "pictures");
    EXPECT_EQ(platform::FolderResourceFork::locate(prefix / "bin" / "quorvane"),
              prefix / "share" / "quorvane" / "media");
    fs::remove_all(folder);
}
