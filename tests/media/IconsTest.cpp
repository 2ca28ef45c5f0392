#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct Pixel {
    Uint8 r, g, b, a;
};

Pixel read(SDL_Surface* surface, int x, int y) {
    Pixel p{};
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    SDL_GetRGBA(*reinterpret_cast<const Uint32*>(row + x * 4), surface->format, &p.r, &p.g, &p.b,
                &p.a);
    return p;
}

TEST(Icons, EachThemeSizeShowsTheMoonOnARoundedTile) {
    for (int size : {48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        SCOPED_TRACE(name);
        SDL_Surface* loaded =
            IMG_Load((std::string(QUORVANE_ICONS_DIR) + "/" + name + "/quorvane.png").c_str());
        ASSERT_NE(loaded, nullptr) << IMG_GetError();
        SDL_Surface* icon = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
        SDL_FreeSurface(loaded);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->w, size);
        EXPECT_EQ(icon->h, size);
        // Clear corners, an opaque body.
        EXPECT_EQ(read(icon, 0, 0).a, 0);
        EXPECT_EQ(read(icon, size - 1, size - 1).a, 0);
        EXPECT_EQ(read(icon, size / 2, size - size / 8).a, 255);
        // The moon: a bright disc in the upper middle, on a dark sky.
        int bright = 0;
        for (int y = 0; y < size / 2; ++y) {
            for (int x = 0; x < size; ++x) {
                const Pixel p = read(icon, x, y);
                bright += p.a == 255 && p.r > 200 && p.g > 200;
            }
        }
        const double moon_area = 3.14159 * std::pow(0.19 * size, 2.0);
        EXPECT_GT(bright, 0.6 * moon_area);
        EXPECT_LT(bright, 2.0 * moon_area);
        const Pixel sky = read(icon, size * 8 / 100, size * 30 / 100);
        EXPECT_LT(sky.r + sky.g + sky.b, 3 * 110);
        SDL_FreeSurface(icon);
    }
}

} // namespace
