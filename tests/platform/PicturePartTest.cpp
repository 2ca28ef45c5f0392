#include "platform/graphics/PngDecoder.h"
#include "platform/resources/FolderResourceFork.h"
#include "tests/support/MediaBytes.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <thread>

using platform::Image;
using platform::PngDecoder::decode_part;
using platform::PngDecoder::Input;
using testing_support::write_file;

namespace {

// Every pixel different from its neighbours and hard to compress, so that a file's length
// grows with its rows and a misplaced row or column shows.
uint32_t pattern(int x, int y) {
    uint32_t v = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
    v ^= v >> 13;
    return 0xFF000000u | (v * 2246822519u >> 8);
}

std::vector<uint8_t> pattern_png(int w, int h, bool interlaced) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t n) {
            auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            bytes->insert(bytes->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 PNG_COLOR_TYPE_RGB, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<uint8_t> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int shift : {16, 8, 0})
                pixels.push_back(static_cast<uint8_t>(pattern(x, y) >> shift));
    std::vector<png_bytep> rows;
    for (int y = 0; y < h; ++y)
        rows.push_back(pixels.data() + static_cast<size_t>(y) * w * 3);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// Reads from bytes in memory and remembers how far into them it was asked to read.
struct RecordingInput {
    explicit RecordingInput(const std::vector<uint8_t>& bytes)
        : input{bytes.size(), [this, &bytes](uint64_t offset, std::span<uint8_t> out) {
                    std::memcpy(out.data(), bytes.data() + offset, out.size());
                    furthest = std::max(furthest, offset + out.size());
                    return true;
                }} {}
    Input input;
    uint64_t furthest = 0;
};

::testing::AssertionResult shows_pattern(const Image& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.at(x, y) != pattern(x, y))
                return ::testing::AssertionFailure() << "wrong pixel at " << x << "," << y;
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(PngDecoder, DecodesTheTopLeftPartOfPlainAndInterlacedFiles) {
    for (bool interlaced : {false, true}) {
        std::vector<uint8_t> file = pattern_png(37, 29, interlaced);
        struct Case {
            int width, height, expected_width, expected_height;
        };
        for (Case c : {Case{10, 7, 10, 7}, Case{37, 3, 37, 3}, Case{5, 29, 5, 29},
                       Case{100, 100, 37, 29}, Case{0, 5, 0, 5}}) {
            SCOPED_TRACE((interlaced ? "interlaced, " : "plain, ") + std::to_string(c.width) +
                         " x " + std::to_string(c.height));
            RecordingInput recording(file);
            std::string error;
            auto part = decode_part(recording.input, c.width, c.height, error);
            ASSERT_TRUE(part) << error;
            EXPECT_EQ(part->file_width, 37);
            EXPECT_EQ(part->file_height, 29);
            EXPECT_EQ(part->image.width(), c.expected_width);
            EXPECT_EQ(part->image.height(), c.expected_height);
            EXPECT_TRUE(part->image.is_opaque());
            EXPECT_TRUE(shows_pattern(part->image));
        }
    }
}

TEST(PngDecoder, ReadsAPlainFileNoFurtherThanThePartsLastRow) {
    std::vector<uint8_t> file = pattern_png(256, 256, false);
    RecordingInput top(file);
    std::string error;
    ASSERT_TRUE(decode_part(top.input, 256, 16, error)) << error;
    EXPECT_LT(top.furthest, file.size() / 4);

    // So damage below the part does not matter to it, while the whole picture is refused.
    std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<long>(file.size() / 2));
    RecordingInput cut_top(cut);
    auto part = decode_part(cut_top.input, 40, 16, error);
    ASSERT_TRUE(part) << error;
    EXPECT_TRUE(shows_pattern(part->image));
    RecordingInput cut_whole(cut);
    EXPECT_FALSE(decode_part(cut_whole.input, 256, 256, error));
    EXPECT_NE(error.find("past the end"), std::string::npos) << error;
}

namespace {

class ScreenPicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_folder / "pictures");
        write_file(picture(), pattern_png(64, 48, false));
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::filesystem::path picture() const { return m_folder / "pictures" / "183.png"; }
    platform::Ref<platform::FolderResourceFork> fork() {
        auto fork = platform::make_ref<platform::FolderResourceFork>(m_folder);
        fork->fit_to_screen({183});
        return fork;
    }

    std::filesystem::path m_folder =
        std::filesystem::temp_directory_path() / ("quorvane-screen-" + std::to_string(::getpid()));
};

} // namespace

TEST_F(ScreenPicturesTest, APrefetchedBackdropIsCutToTheScreenAndCoversItAsItGrows) {
    write_file(m_folder / "pictures" / "184.png", pattern_png(16, 16, false));
    auto media = fork();
    media->prefetch_pictures({183, 184}, 2);
    media->set_screen(20, 10, platform::Scale{});
    platform::Ref<platform::Picture> backdrop = media->GetPicture(183);
    ASSERT_TRUE(backdrop);
    EXPECT_EQ(backdrop->Width(), 20);
    EXPECT_EQ(backdrop->Height(), 10);
    EXPECT_TRUE(shows_pattern(backdrop->image()));

    std::string error;
    ASSERT_TRUE(backdrop->cover(40, 30, error)) << error;
    EXPECT_EQ(backdrop->Width(), 40);
    EXPECT_EQ(backdrop->Height(), 30);
    EXPECT_TRUE(shows_pattern(backdrop->image()));
    // A smaller or turned screen keeps what is there; the file is as far as it goes.
    ASSERT_TRUE(backdrop->cover(10, 35, error));
    EXPECT_EQ(backdrop->Width(), 40);
    EXPECT_EQ(backdrop->Height(), 35);
    ASSERT_TRUE(backdrop->cover(1000, 1000, error));
    EXPECT_EQ(backdrop->Width(), 64);
    EXPECT_EQ(backdrop->Height(), 48);
    EXPECT_TRUE(shows_pattern(backdrop->image()));

    // Asked for again, the folder is read again for the screen's part as it is now.
    media->set_screen(30, 12, platform::Scale{});
    platform::Ref<platform::Picture> again = media->GetPicture(183);
    ASSERT_TRUE(again);
    EXPECT_NE(again.get(), backdrop.get());
    EXPECT_EQ(again->Width(), 30);
    EXPECT_EQ(again->Height(), 12);
    std::filesystem::remove(picture());
    EXPECT_FALSE(again->cover(40, 40, error));
    EXPECT_NE(error.find("183.png"), std::string::npos) << error;
    EXPECT_EQ(again->Width(), 30);
    EXPECT_TRUE(shows_pattern(again->image()));
}

TEST_F(ScreenPicturesTest, ABackdropAskedForBeforeTheScreensSizeIsDecodedWhole) {
    auto media = fork();
    media->prefetch_pictures({183}, 1);
    platform::Ref<platform::Picture> backdrop = media->GetPicture(183);
    ASSERT_TRUE(backdrop);
    EXPECT_EQ(backdrop->Width(), 64);
    EXPECT_EQ(backdrop->Height(), 48);
    std::string error;
    EXPECT_TRUE(backdrop->cover(100, 100, error));

    // Behind a backdrop waiting for the size on the only thread, another picture is answered
    // all the same.
    write_file(m_folder / "pictures" / "184.png", pattern_png(16, 16, false));
    auto waiting = fork();
    waiting->prefetch_pictures({183, 184}, 1);
    EXPECT_TRUE(waiting->GetPicture(184));
    EXPECT_EQ(waiting->GetPicture(183)->Height(), 48);

    // A prefetch still waiting for a size that never comes does not hold up the end.
    fork()->prefetch_pictures({183}, 1);
}

TEST(PngDecoder, DecodesAheadUntilThePartsSizeComesAndCutsToIt) {
    std::vector<uint8_t> file = pattern_png(37, 29, false);
    for (platform::PngDecoder::Extent extent :
         {platform::PngDecoder::Extent{20, 5}, platform::PngDecoder::Extent{37, 25},
          platform::PngDecoder::Extent{0, 5}}) {
        SCOPED_TRACE(std::to_string(extent.width) + " x " + std::to_string(extent.height));
        // A size that is not there until the decoder asks for it after its ten rows ahead.
        auto later = std::async(std::launch::deferred, [extent] { return extent; }).share();
        RecordingInput recording(file);
        std::string error;
        std::optional<platform::PngDecoder::Part> part =
            decode_part(recording.input, later, 10, error);
        ASSERT_TRUE(part) << error;
        EXPECT_EQ(part->image.width(), extent.width);
        EXPECT_EQ(part->image.height(), extent.height);
        EXPECT_TRUE(shows_pattern(part->image));
    }
}

TEST_F(ScreenPicturesTest, AboveScaleOneTheLargeFileIsDrawnShrunkWhereTheScaleIsBetween) {
    constexpr uint32_t kLarge = 0xFF1A2B3Cu;
    write_file(m_folder / "pictures" / "183@2x.png", testing_support::png_bytes(128, 96, kLarge));
    const platform::Scale two = platform::Scale::from_120ths(240);
    const platform::Scale one_and_half = platform::Scale::from_120ths(180);
    auto all = [](const Image& image, uint32_t pixel) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.at(x, y) != pixel)
                    return false;
        return !image.is_empty();
    };

    auto media = fork();
    media->set_screen(20, 10, two);
    platform::Ref<platform::Picture> backdrop = media->GetPicture(183);
    ASSERT_TRUE(backdrop);
    EXPECT_EQ(backdrop->Width(), 20);
    EXPECT_EQ(backdrop->Height(), 10);
    EXPECT_EQ(backdrop->scale(), two);
    EXPECT_EQ(backdrop->image().width(), 40);
    EXPECT_EQ(backdrop->image().height(), 20);
    EXPECT_TRUE(all(backdrop->image(), kLarge));
    // Covering more reads more of the large file, as far as it reaches in logical pixels.
    std::string error;
    ASSERT_TRUE(backdrop->cover(1000, 30, error)) << error;
    EXPECT_EQ(backdrop->Width(), 64);
    EXPECT_EQ(backdrop->image().width(), 128);
    EXPECT_EQ(backdrop->image().height(), 60);

    media->set_screen(20, 10, one_and_half);
    platform::Ref<platform::Picture> between = media->GetPicture(183);
    ASSERT_TRUE(between);
    EXPECT_EQ(between->image().width(), 30);
    EXPECT_EQ(between->image().height(), 15);
    EXPECT_TRUE(all(between->image(), kLarge));

    // A picture loaded at scale 1 is made anew when first drawn at another scale, and only then.
    media->set_screen(20, 10, platform::Scale{});
    platform::Ref<platform::Picture> small = media->GetPicture(183);
    ASSERT_TRUE(small);
    EXPECT_TRUE(shows_pattern(small->image()));
    EXPECT_TRUE(all(small->image_at(two), kLarge));
    EXPECT_EQ(small->image().width(), 40);
    small->image_at(two);
    EXPECT_EQ(small->remakes(), 1);
    EXPECT_TRUE(shows_pattern(small->image_at(platform::Scale{})));
    EXPECT_EQ(small->remakes(), 2);
}

TEST_F(ScreenPicturesTest, WithoutItsLargeFileAPictureIsEnlargedFromTheSmallOneAndThatIsSaidOnce) {
    const platform::Scale two = platform::Scale::from_120ths(240);
    auto media = fork();
    media->set_screen(20, 10, two);
    ::testing::internal::CaptureStderr();
    platform::Ref<platform::Picture> first = media->GetPicture(183);
    platform::Ref<platform::Picture> second = media->GetPicture(183);
    std::string said = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(first->image().width(), 40);
    EXPECT_EQ(first->image().height(), 20);
    // Every 2x2 block of the enlarged picture starts from its small pixel: the corners are
    // exact, and the block's inner pixels lie between their neighbours.
    EXPECT_EQ(first->image().at(0, 0), pattern(0, 0));
    EXPECT_EQ(first->image().at(39, 19), pattern(19, 9));
    EXPECT_NE(said.find("183@2x.png"), std::string::npos) << said;
    EXPECT_EQ(said.find("183@2x.png"), said.rfind("183@2x.png")) << said;
}
