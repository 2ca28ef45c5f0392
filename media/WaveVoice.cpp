#include "WaveVoice.h"

#include "Rng.h"
#include "Svf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace media {

namespace {

constexpr double pi = std::numbers::pi;

// 0 before `start`, a raised-cosine rise over `length`, 1 after.
double rise(double t, double start, double length) {
    const double x = std::clamp((t - start) / length, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(pi * x);
}

double decay_after(double t, double start, double time_constant) {
    return t < start ? 1.0 : std::exp(-(t - start) / time_constant);
}

// Noise for both ears, related by the shape's width.
class StereoNoise {
public:
    StereoNoise(Rng& rng, double width)
        : m_rng(rng), m_shared(std::sqrt(1.0 - width)), m_own(std::sqrt(width)) {}

    std::array<float, 2> next() {
        const double common = white();
        return {static_cast<float>(m_shared * common + m_own * white()),
                static_cast<float>(m_shared * common + m_own * white())};
    }

private:
    double white() { return 2.0 * m_rng.uniform() - 1.0; }

    Rng& m_rng;
    double m_shared;
    double m_own;
};

// A noise layer through a low-pass that can sweep, after a fixed high-pass.
struct Layer {
    Layer(Rng& rng, double width, float high_pass, float low_pass, float q)
        : noise(rng, width), high{Svf(high_pass, 0.7f), Svf(high_pass, 0.7f)}, low{Svf(low_pass, q),
                                                                                   Svf(low_pass,
                                                                                       q)},
          q(q) {}

    void sweep(float cutoff) {
        low[0].tune(cutoff, q);
        low[1].tune(cutoff, q);
    }

    // `drive` scales the noise before the filters, so that even sudden changes stay in band.
    std::array<float, 2> next(float drive = 1.0f) {
        const auto in = noise.next();
        std::array<float, 2> out{};
        for (int c = 0; c < 2; ++c) {
            out[c] = low[c].process(high[c].process(drive * in[c]).high).low;
        }
        return out;
    }

    StereoNoise noise;
    std::array<Svf, 2> high;
    std::array<Svf, 2> low;
    float q;
};

std::array<double, 2> pan_gains(double pan) {
    const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * pi / 4.0;
    return {std::cos(angle) * std::numbers::sqrt2, std::sin(angle) * std::numbers::sqrt2};
}

} // namespace

double WaveVoice::seconds() const {
    const WaveShape& s = m_shape;
    const double crash_end = s.build + s.crash_attack + 5.0 * s.crash_decay;
    const double wash_end = s.build + 0.2 + 1.6 * s.wash_length;
    const double fizz_end = s.build + 0.8 + s.fizz_length;
    return std::max({crash_end, wash_end, fizz_end}) + 0.3;
}

StereoBuffer WaveVoice::render() const {
    const WaveShape& s = m_shape;
    const double length = seconds();
    StereoBuffer out(StereoBuffer::frames_for(length));
    Rng rng(m_seed);
    const auto bright = static_cast<float>(s.brightness);

    Layer swell(rng, s.width, 40.0f, 200.0f * bright, 0.6f);
    Layer roar(rng, s.width, 110.0f, 800.0f * bright, 0.6f);
    Layer thump(rng, s.width * 0.5, 25.0f, 110.0f, 0.8f);
    Layer wash(rng, s.width, 350.0f, 2000.0f * bright, 0.6f);
    Layer foam(rng, std::min(1.0, s.width + 0.3), 2200.0f * bright, 9000.0f, 0.7f);

    const double crash_start = s.build - 0.7 * s.crash_attack;
    const double crash_peak = crash_start + s.crash_attack;
    const double wash_start = s.build + 0.2;
    const double wash_hold = wash_start + 0.5 * s.wash_length;
    const double foam_start = s.build + 0.8;
    // Bubbles burst at random in the foam; each burst, swelling in a millisecond and dying in a
    // few, makes the hiss crackle.
    double burst = 0.0;
    double crackle = 0.0;
    const double burst_decay = std::exp(-1.0 / (0.003 * StereoBuffer::rate));
    const double crackle_follow = 1.0 - std::exp(-1.0 / (0.001 * StereoBuffer::rate));

    for (size_t i = 0; i < out.frames(); ++i) {
        const double t = static_cast<double>(i) / StereoBuffer::rate;
        const double ending = 1.0 - rise(t, length - 0.4, 0.4);
        const double swell_env =
            0.45 * std::pow(rise(t, 0.0, s.build), 1.5) * decay_after(t, s.build, 0.6);
        // The roar gathers slowly, then tumbles; its brightness lags its loudness.
        const double crash_env = std::pow(rise(t, crash_start, s.crash_attack), 2.0) *
                                 decay_after(t, crash_peak, s.crash_decay);
        const double thump_env = rise(t, crash_peak - 0.3 * s.crash_attack, 0.4 * s.crash_attack) *
                                 decay_after(t, crash_peak, 0.45 * s.crash_decay);
        const double wash_env =
            rise(t, wash_start, 0.9) * decay_after(t, wash_hold, 0.4 * s.wash_length);
        const double foam_env =
            rise(t, foam_start, 1.2) * decay_after(t, foam_start + 1.2, s.fizz_length / 3.0);

        if (i % 32 == 0) {
            swell.sweep(static_cast<float>((150.0 + 500.0 * rise(t, 0.0, s.build)) * s.brightness));
            roar.sweep(
                static_cast<float>((450.0 + 3600.0 * std::pow(crash_env, 1.5)) * s.brightness));
            wash.sweep(static_cast<float>((1500.0 + 2500.0 * wash_env) * s.brightness));
        }
        const double bubbles = 250.0 * foam_env + 30.0;
        if (rng.uniform() < bubbles / StereoBuffer::rate) {
            burst += -std::log(1.0 - rng.uniform());
        }
        burst *= burst_decay;
        crackle += (burst - crackle) * crackle_follow;

        const auto a = swell.next();
        const auto b = roar.next();
        const auto c = thump.next();
        const auto d = wash.next();
        const auto e = foam.next(static_cast<float>(0.45 + 0.9 * std::min(crackle, 3.0)));
        const double place = std::clamp(t / length, 0.0, 1.0);
        const double pan = s.pan_from + (s.pan_to - s.pan_from) * place;
        const auto gains = pan_gains(pan);
        const auto centre_gains = pan_gains(0.5 * pan);
        const double foam_gain = s.fizz * foam_env;
        for (int ch = 0; ch < 2; ++ch) {
            const double value = gains[ch] * (swell_env * a[ch] + crash_env * b[ch] +
                                              s.wash * wash_env * d[ch] + foam_gain * e[ch]) +
                                 centre_gains[ch] * s.boom * thump_env * 2.5 * c[ch];
            out.channel(ch)[i] = static_cast<float>(s.size * ending * value);
        }
    }
    add_spray(out);
    return out;
}

void WaveVoice::add_spray(StereoBuffer& out) const {
    const WaveShape& s = m_shape;
    if (s.spray <= 0.0) {
        return;
    }
    Rng rng(m_seed ^ 0x7370726179ULL);
    // Droplets fall back onto the water: tiny rising chirps, as the bubbles they trap ring.
    for (double t = s.build; t < s.build + 2.5;) {
        const double rate = s.spray * std::exp(-(t - s.build) / 0.6) + 1.0;
        t += -std::log(1.0 - rng.uniform()) / rate;
        const double pitch = rng.uniform(900.0, 3800.0) * s.brightness;
        const double glide = rng.uniform(0.1, 0.35);
        const double ring = rng.uniform(0.002, 0.007);
        const double loudness = 0.07 * s.size * -std::log(1.0 - rng.uniform());
        const auto gains = pan_gains(rng.uniform(-0.9, 0.9));
        const size_t start = StereoBuffer::frames_for(t);
        const size_t count = StereoBuffer::frames_for(ring * 5.0);
        double phase = 0.0;
        for (size_t k = 0; k < count && start + k < out.frames(); ++k) {
            const double local = static_cast<double>(k) / StereoBuffer::rate;
            phase += 2.0 * pi * pitch * (1.0 + glide * local / (ring * 5.0)) / StereoBuffer::rate;
            const double v = loudness * std::exp(-local / ring) * std::sin(phase) *
                             std::min(1.0, local / 0.0015);
            out.left()[start + k] += static_cast<float>(gains[0] * v);
            out.right()[start + k] += static_cast<float>(gains[1] * v);
        }
    }
}

} // namespace media
