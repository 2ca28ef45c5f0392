#include "Svf.h"

#include "StereoBuffer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace media {

void Svf::tune(float cutoff_hz, float q) {
    const float limited = std::clamp(cutoff_hz, 10.0f, 0.45f * StereoBuffer::rate);
    const float g = std::tan(std::numbers::pi_v<float> * limited / StereoBuffer::rate);
    m_k = 1.0f / q;
    m_a1 = 1.0f / (1.0f + g * (g + m_k));
    m_a2 = g * m_a1;
    m_a3 = g * m_a2;
}

Svf::Outputs Svf::process(float in) {
    const float v3 = in - m_ic2;
    const float v1 = m_a1 * m_ic1 + m_a2 * v3;
    const float v2 = m_ic2 + m_a2 * m_ic1 + m_a3 * v3;
    m_ic1 = 2.0f * v1 - m_ic1;
    m_ic2 = 2.0f * v2 - m_ic2;
    return {v2, v1, in - m_k * v1 - v2};
}

} // namespace media
