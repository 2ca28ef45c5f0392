#include "platform/FolderResourceFork.h"
#include "platform/PngDecoder.h"
#include "platform/WavDecoder.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using testing_support::TestProgram;

namespace {

std::vector<uint8_t> encode_png(int w, int h, bool alpha, uint32_t pixel) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    std::vector<uint32_t> argb(static_cast<size_t>(w) * h, pixel);
    std::vector<uint8_t> bytes;
    if (!alpha) {
        for (uint32_t p : argb) {
            bytes.push_back(p & 0xFF);
            bytes.push_back((p >> 8) & 0xFF);
            bytes.push_back((p >> 16) & 0xFF);
        }
    } else {
        bytes.resize(argb.size() * 4);
        std::memcpy(bytes.data(), argb.data(), bytes.size());
    }
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, bytes.data(), 0, nullptr);
    std::vector<uint8_t> out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, bytes.data(), 0, nullptr));
    out.resize(size);
    return out;
}

void put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

std::vector<uint8_t> wav(uint16_t encoding, uint16_t channels, uint32_t rate, uint16_t bits,
                         const std::vector<uint8_t>& data) {
    std::vector<uint8_t> v{'R', 'I', 'F', 'F'};
    put32(v, static_cast<uint32_t>(36 + data.size()));
    v.insert(v.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(v, 16);
    put16(v, encoding);
    put16(v, channels);
    put32(v, rate);
    put32(v, rate * channels * bits / 8);
    put16(v, static_cast<uint16_t>(channels * bits / 8));
    put16(v, bits);
    v.insert(v.end(), {'d', 'a', 't', 'a'});
    put32(v, static_cast<uint32_t>(data.size()));
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

} // namespace

TEST(PngDecoder, DecodesOpaqueAndTranslucentPicturesIntoScreenPixels) {
    std::string error;
    auto opaque = platform::PngDecoder::decode(encode_png(7, 3, false, 0xFF123456u), error);
    ASSERT_TRUE(opaque) << error;
    EXPECT_EQ(opaque->width(), 7);
    EXPECT_EQ(opaque->at(6, 2), 0xFF123456u);
    EXPECT_TRUE(opaque->is_opaque());
    auto translucent = platform::PngDecoder::decode(encode_png(2, 2, true, 0x80FFFFFFu), error);
    ASSERT_TRUE(translucent);
    EXPECT_FALSE(translucent->is_opaque());
}

TEST(PngDecoder, RefusesGarbageTruncationAndAbsurdSizesWithAReason) {
    std::string error;
    std::vector<uint8_t> good = encode_png(64, 64, false, 0xFF00FF00u);
    EXPECT_FALSE(platform::PngDecoder::decode(std::vector<uint8_t>{1, 2, 3}, error));
    EXPECT_EQ(error, "not a PNG file");
    std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    EXPECT_FALSE(platform::PngDecoder::decode(truncated, error));
    EXPECT_FALSE(error.empty());
    // Declares 100000 x 100000 pixels in its header: refused before any allocation.
    std::vector<uint8_t> huge = good;
    const uint8_t side[4] = {0x00, 0x01, 0x86, 0xA0};
    std::memcpy(&huge[16], side, 4);
    std::memcpy(&huge[20], side, 4);
    EXPECT_FALSE(platform::PngDecoder::decode(huge, error));
    // A chunk that claims two gigabytes in a file of a few hundred bytes.
    std::vector<uint8_t> liar(good.begin(), good.begin() + 33);
    const uint8_t header[8] = {0x7E, 0x00, 0x00, 0x63, 't', 'E', 'X', 't'};
    liar.insert(liar.end(), header, header + 8);
    EXPECT_FALSE(platform::PngDecoder::decode(liar, error));
    EXPECT_NE(error.find("past the end"), std::string::npos);
}

TEST(WavDecoder, ReadsCommonEncodingsIntoSixteenBitSamples) {
    std::string error;
    auto s16 = platform::WavDecoder::decode(wav(1, 2, 44100, 16, {0x00, 0x40, 0x00, 0xC0}), error);
    ASSERT_TRUE(s16) << error;
    EXPECT_EQ(s16->channels, 2);
    EXPECT_EQ(s16->frames(), 1);
    EXPECT_EQ(s16->samples[0], 16384);
    EXPECT_EQ(s16->samples[1], -16384);

    auto u8 = platform::WavDecoder::decode(wav(1, 1, 8000, 8, {0x80, 0xFF, 0x00}), error);
    ASSERT_TRUE(u8) << error;
    EXPECT_EQ(u8->channels, 1);
    EXPECT_EQ(u8->samples, (std::vector<int16_t>{0, 32512, -32768}));

    float half = 0.5f;
    std::vector<uint8_t> f32(4);
    std::memcpy(f32.data(), &half, 4);
    auto fl = platform::WavDecoder::decode(wav(3, 1, 48000, 32, f32), error);
    ASSERT_TRUE(fl) << error;
    EXPECT_EQ(fl->samples[0], 16384);
    EXPECT_DOUBLE_EQ(fl->duration_seconds(), 1.0 / 48000);
}

TEST(WavDecoder, RefusesWhatItCannotPlayWithAReason) {
    std::string error;
    EXPECT_FALSE(platform::WavDecoder::decode(std::vector<uint8_t>{'R', 'I', 'F', 'F'}, error));
    EXPECT_EQ(error, "not a WAV file");
    EXPECT_FALSE(platform::WavDecoder::decode(wav(2, 2, 44100, 4, {1, 2, 3, 4}), error));
    EXPECT_NE(error.find("unsupported"), std::string::npos);
    EXPECT_FALSE(platform::WavDecoder::decode(wav(1, 2, 1, 16, {1, 2, 3, 4}), error));
    EXPECT_FALSE(platform::WavDecoder::decode(wav(1, 2, 44100, 16, {}), error));
    // A data chunk that claims more than the file holds keeps what is there.
    std::vector<uint8_t> cut = wav(1, 1, 44100, 16, {1, 0, 2, 0, 3, 0, 4, 0});
    cut.resize(cut.size() - 4);
    auto kept = platform::WavDecoder::decode(cut, error);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->frames(), 2);
}

TEST(FolderResourceFork, AnswersByKindAndIdAndNilForWhatItCannotUse) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("quorvane-fork-" + std::to_string(::getpid()));
    fs::create_directories(folder / "pictures");
    fs::create_directories(folder / "sounds");
    auto write = [](const fs::path& p, const std::vector<uint8_t>& bytes) {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    };
    write(folder / "pictures" / "168.png", encode_png(4, 4, false, 0xFF010203u));
    write(folder / "pictures" / "169.png", {'n', 'o', 'p', 'e'});
    write(folder / "sounds" / "168.wav", wav(1, 2, 44100, 16, {0, 0, 0, 0}));
    {
        TestProgram::Options o;
        o.start = false;
        TestProgram program(o, nullptr);
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
