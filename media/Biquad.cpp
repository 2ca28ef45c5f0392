#include "Biquad.h"

#include "StereoBuffer.h"

#include <cmath>
#include <numbers>

namespace media {

Biquad::Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
    : m_b0(b0 / a0), m_b1(b1 / a0), m_b2(b2 / a0), m_a1(a1 / a0), m_a2(a2 / a0) {
}

Biquad Biquad::high_pass(double cutoff_hz, double q) {
    const double w = 2.0 * std::numbers::pi * cutoff_hz / StereoBuffer::rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    return {(1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha};
}

Biquad Biquad::high_shelf(double cutoff_hz, double q, double gain_db) {
    const double a = std::pow(10.0, gain_db / 40.0);
    const double w = 2.0 * std::numbers::pi * cutoff_hz / StereoBuffer::rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    const double root = 2.0 * std::sqrt(a) * alpha;
    return {a * ((a + 1) + (a - 1) * c + root), -2 * a * ((a - 1) + (a + 1) * c),
            a * ((a + 1) + (a - 1) * c - root), (a + 1) - (a - 1) * c + root,
            2 * ((a - 1) - (a + 1) * c),        (a + 1) - (a - 1) * c - root};
}

double Biquad::process(double in) {
    const double out = m_b0 * in + m_b1 * m_x1 + m_b2 * m_x2 - m_a1 * m_y1 - m_a2 * m_y2;
    m_x2 = m_x1;
    m_x1 = in;
    m_y2 = m_y1;
    m_y1 = out;
    return out;
}

} // namespace media
