#include "Footsteps.h"

#include "Rng.h"
#include "Svf.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace media {

namespace {

constexpr double pi = std::numbers::pi;
constexpr double step_seconds = 0.4;

} // namespace

StereoBuffer Footsteps::render() const {
    StereoBuffer out(StereoBuffer::frames_for(m_seconds));
    Rng rng(m_seed);
    const double first = 0.25;
    const double last = m_seconds - step_seconds - 0.1;
    const int steps = static_cast<int>((last - first) / m_pace) + 1;
    for (int i = 0; i < steps; ++i) {
        const double at = first + i * m_pace + rng.uniform(-0.025, 0.025);
        const double place = (i + 0.5) / steps;
        const double nearness = std::pow(std::sin(pi * place), 1.5);
        const double foot = (i % 2 == 0) ? -0.06 : 0.06;
        add_step(out, at, nearness, -0.55 + 1.1 * place + foot, rng.next());
    }
    return out;
}

void Footsteps::add_step(StereoBuffer& out, double at, double nearness, double pan,
                         std::uint64_t seed) const {
    Rng rng(seed);
    const size_t length = StereoBuffer::frames_for(step_seconds);
    const size_t start = StereoBuffer::frames_for(at);

    // Grains of sand cracking under the heel, then under the rolling toe.
    std::vector<float> grains(length, 0.0f);
    const double toe = rng.uniform(0.12, 0.17);
    for (double t = 0.0; t < step_seconds - 0.01;) {
        const double heel_rate = 1400.0 * std::exp(-std::pow((t - 0.035) / 0.03, 2.0));
        const double toe_rate = 700.0 * std::exp(-std::pow((t - toe) / 0.045, 2.0));
        const double rate = heel_rate + toe_rate + 5.0;
        t += -std::log(1.0 - rng.uniform()) / rate;
        const size_t grain_start = StereoBuffer::frames_for(t);
        const size_t grain_length = StereoBuffer::frames_for(rng.uniform(0.0006, 0.0025));
        const double strength = -std::log(1.0 - rng.uniform()) * (0.4 + 0.6 * (rate > 200.0));
        for (size_t k = 0; k < grain_length && grain_start + k < length; ++k) {
            const double window =
                std::sin(pi * static_cast<double>(k) / static_cast<double>(grain_length));
            grains[grain_start + k] +=
                static_cast<float>(strength * window * window * rng.uniform(-1.0, 1.0));
        }
    }

    const auto crunch_centre = static_cast<float>(rng.uniform(1800.0, 3000.0));
    Svf crunch_band(crunch_centre, 0.8f);
    Svf crunch_high(600.0f, 0.7f);
    Svf distance(static_cast<float>(2500.0 + 9000.0 * nearness), 0.7f);
    Svf thump_low(150.0f, 0.9f);
    Svf squash_band(static_cast<float>(rng.uniform(450.0, 650.0)), 0.7f);
    const double level = 0.35 + 0.65 * nearness;
    const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * pi / 4.0;
    const double left = std::cos(angle) * std::numbers::sqrt2;
    const double right = std::sin(angle) * std::numbers::sqrt2;
    for (size_t k = 0; k < length && start + k < out.frames(); ++k) {
        const double t = static_cast<double>(k) / StereoBuffer::rate;
        const double noise = rng.uniform(-1.0, 1.0);
        const double thump_env = std::min(1.0, t / 0.004) * std::exp(-t / 0.03);
        const double squash_env = std::min(1.0, t / 0.01) * std::exp(-t / 0.07) +
                                  0.5 * std::exp(-std::pow((t - toe) / 0.04, 2.0));
        const double thump = 6.0 * thump_env * thump_low.process(static_cast<float>(noise)).low;
        const double squash =
            1.2 * squash_env * squash_band.process(static_cast<float>(noise)).band;
        const double crunch = crunch_band.process(crunch_high.process(grains[k]).high).band * 1.6;
        const double ending = std::min(1.0, (step_seconds - t) / 0.05);
        const double v =
            level * ending * distance.process(static_cast<float>(thump + squash + crunch)).low;
        out.left()[start + k] += static_cast<float>(left * v);
        out.right()[start + k] += static_cast<float>(right * v);
    }
}

} // namespace media
