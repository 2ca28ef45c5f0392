#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

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

TEST(Icons, EachThemeSizeIsARoundedTile) {
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
        SDL_FreeSurface(icon);
    }
}

} // namespace
