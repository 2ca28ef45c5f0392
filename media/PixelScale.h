#pragma once

namespace media {

// How a picture's pixels lie over the logical pixels that the program lays out. The pictures are
// also made at twice the size for screens of twice the density: the same content at twice the
// coordinates, drawn at the finer pixels rather than enlarged. Every shape is worked out in
// logical pixels, so a picture at factor 1 is what it always was.
class PixelScale {
public:
    explicit constexpr PixelScale(int factor) : m_factor(factor) {}

    constexpr int factor() const { return m_factor; }
    constexpr int pixels(int logical) const { return logical * m_factor; }
    constexpr float to_device(float logical) const {
        return logical * static_cast<float>(m_factor);
    }
    // The logical point at the centre of a device pixel; device pixel i covers
    // [i / factor, (i + 1) / factor).
    constexpr float centre(int device) const {
        return (static_cast<float>(device) + 0.5f) / static_cast<float>(m_factor);
    }
    // Where a device pixel samples a smooth field that the factor-1 picture samples at its
    // pixels' top-left corners: half a logical pixel before the centre, so that each block of
    // finer pixels averages to the sample of the pixel it stands for.
    constexpr float corner(int device) const { return centre(device) - 0.5f; }

private:
    int m_factor;
};

} // namespace media
