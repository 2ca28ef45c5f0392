#include "platform/graphics/PixelOps.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace platform::PixelOps {

void blend(uint32_t& dst, uint32_t colour, uint32_t coverage) {
    uint32_t a = ((colour >> 24) * coverage + 127) / 255;
    if (a == 0)
        return;
    if (a == 255) {
        dst = colour | 0xFF000000u;
        return;
    }
    uint32_t inv = 255 - a;
    uint32_t rb = ((colour & 0x00FF00FFu) * a + (dst & 0x00FF00FFu) * inv + 0x00800080u);
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t g = ((colour & 0x0000FF00u) * a + (dst & 0x0000FF00u) * inv + 0x00008000u);
    g = ((g + ((g >> 8) & 0x0000FF00u)) >> 8) & 0x0000FF00u;
    dst = 0xFF000000u | rb | g;
}

namespace {

// dimmed() over a row. Four pixels at a time where the processor has SSE2 (every x86-64 does):
// the darkened dome then costs little more than its copy, where one pixel at a time costs eight
// times as much.
void dim_row(uint32_t* out, const uint32_t* in, int count, uint32_t brightness) {
    int i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    // Each channel times the brightness, over 256; alpha times 256, so it stays.
    const auto b = static_cast<short>(brightness);
    const __m128i factors = _mm_setr_epi16(b, b, b, 256, b, b, b, 256);
    for (; i + 4 <= count; i += 4) {
        __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), factors), 8);
        __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(px, zero), factors), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < count; ++i)
        out[i] = dimmed(in[i], brightness);
}

} // namespace

void copy_row(uint32_t* out, const uint32_t* in, int count, uint32_t brightness) {
    if (brightness == Surface::kFullBrightness)
        std::memcpy(out, in, static_cast<size_t>(count) * sizeof(uint32_t));
    else
        dim_row(out, in, count, brightness);
}

void draw_image(const Surface& dst, const Rect& clip, int dx, int dy, const Image& src,
                const Rect& src_rect) {
    Rect from = src_rect.intersected({0, 0, src.width(), src.height()});
    // Where the visible part of the source lands on the destination.
    Rect to = Rect{dx + (from.x - src_rect.x), dy + (from.y - src_rect.y), from.w, from.h}
                  .intersected(clip)
                  .intersected(dst.bounds());
    if (to.is_empty())
        return;
    int sx = from.x + (to.x - (dx + (from.x - src_rect.x)));
    int sy = from.y + (to.y - (dy + (from.y - src_rect.y)));
    const Surface s = src.surface();
    const uint32_t brightness = dst.brightness;
    const bool full = brightness == Surface::kFullBrightness;
    for (int row = 0; row < to.h; ++row) {
        uint32_t* out = dst.row(to.y + row) + to.x;
        const uint32_t* in = s.row(sy + row) + sx;
        if (src.is_opaque()) {
            copy_row(out, in, to.w, brightness);
            continue;
        }
        for (int i = 0; i < to.w; ++i)
            blend(out[i], full ? in[i] : dimmed(in[i], brightness), 255);
    }
}

void fill(const Surface& dst, const Rect& clip, const Rect& r, uint32_t colour) {
    const uint32_t pixel = dimmed(colour, dst.brightness);
    Rect to = r.intersected(clip).intersected(dst.bounds());
    for (int y = to.y; y < to.bottom(); ++y) {
        uint32_t* out = dst.row(y) + to.x;
        for (int i = 0; i < to.w; ++i)
            out[i] = pixel;
    }
}

} // namespace platform::PixelOps
