#pragma once

#include <cstddef>
#include <vector>

namespace media {

// A picture in linear light, one float per channel: RGB, or RGB plus straight alpha.
class Image {
public:
    Image(int width, int height, int channels);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int channels() const { return m_channels; }
    float* pixel(int x, int y) {
        return &m_data[(static_cast<std::size_t>(y) * m_width + x) * m_channels];
    }
    const float* pixel(int x, int y) const {
        return &m_data[(static_cast<std::size_t>(y) * m_width + x) * m_channels];
    }
    // Adds light to the colour channels; points outside are ignored.
    void add_light(int x, int y, float r, float g, float b);
    // Lays a premultiplied RGBA layer over this picture with its top-left corner at (x, y).
    void composite(const Image& layer, int x, int y);

private:
    int m_width;
    int m_height;
    int m_channels;
    std::vector<float> m_data;
};

} // namespace media
