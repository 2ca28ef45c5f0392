#include "Image.h"

namespace media {

Image::Image(int width, int height, int channels)
    : m_width(width), m_height(height), m_channels(channels),
      m_data(static_cast<size_t>(width) * height * channels, 0.0f) {
}

void Image::add_light(int x, int y, float r, float g, float b) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return;
    }
    float* p = pixel(x, y);
    p[0] += r;
    p[1] += g;
    p[2] += b;
}

void Image::composite(const Image& layer, int x, int y) {
    for (int ly = 0; ly < layer.height(); ++ly) {
        for (int lx = 0; lx < layer.width(); ++lx) {
            const int tx = x + lx;
            const int ty = y + ly;
            if (tx < 0 || ty < 0 || tx >= m_width || ty >= m_height) {
                continue;
            }
            const float* src = layer.pixel(lx, ly);
            float* dst = pixel(tx, ty);
            for (int c = 0; c < 3; ++c) {
                dst[c] = dst[c] * (1.0f - src[3]) + src[c];
            }
            if (m_channels == 4) {
                dst[3] = dst[3] * (1.0f - src[3]) + src[3];
            }
        }
    }
}

} // namespace media
