#include "SurfSynth.h"

#include "Rng.h"
#include "Svf.h"

#include <cmath>
#include <numeric>

namespace media {

namespace {

WaveShape vary(const WaveShape& typical, double variety, Rng& rng) {
    auto spread = [&](double value) {
        return value * (1.0 + variety * rng.uniform(-1.0, 1.0));
    };
    WaveShape shape = typical;
    shape.build = spread(typical.build);
    shape.size = typical.size * rng.uniform(1.0 - 1.3 * variety, 1.0);
    shape.crash_attack = spread(typical.crash_attack);
    shape.crash_decay = spread(typical.crash_decay);
    shape.boom = spread(typical.boom);
    shape.wash = spread(typical.wash);
    shape.wash_length = spread(typical.wash_length);
    shape.fizz = spread(typical.fizz);
    shape.fizz_length = spread(typical.fizz_length);
    shape.brightness = spread(typical.brightness);
    // Each wave breaks somewhere else along the shore, and the break runs one way or the other.
    const double centre = rng.uniform(-0.5, 0.5);
    const double run = rng.uniform(0.3, 0.8) * (rng.uniform() < 0.5 ? -1.0 : 1.0);
    shape.pan_from = centre - run / 2.0;
    shape.pan_to = centre + run / 2.0;
    return shape;
}

} // namespace

StereoBuffer SurfSynth::render() const {
    const SurfCharacter& ch = m_character;
    const double loop_seconds = std::accumulate(ch.intervals.begin(), ch.intervals.end(), 0.0);
    StereoBuffer loop(StereoBuffer::frames_for(loop_seconds));
    Rng rng(ch.seed);
    std::vector<double> breaks;
    double at = rng.uniform(0.0, loop_seconds);
    for (double interval : ch.intervals) {
        const WaveVoice voice(vary(ch.typical, ch.variety, rng), rng.next());
        breaks.push_back(at);
        const double start = std::fmod(at - voice.break_time() + loop_seconds, loop_seconds);
        loop.mix(voice.render(), StereoBuffer::frames_for(start), 1.0f, true);
        at = std::fmod(at + interval, loop_seconds);
    }
    add_bed(loop, breaks);
    return loop;
}

void SurfSynth::add_bed(StereoBuffer& loop, const std::vector<double>& breaks) const {
    const SurfCharacter& ch = m_character;
    const size_t n = loop.frames();
    const double loop_seconds = static_cast<double>(n) / StereoBuffer::rate;
    // The murmur swells a little after each break.
    std::vector<float> swell(n);
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / StereoBuffer::rate;
        double sum = 0.0;
        for (double b : breaks) {
            double d = std::fmod(std::abs(t - b - 1.5), loop_seconds);
            d = std::min(d, loop_seconds - d);
            sum += std::exp(-d * d / (2.0 * 2.0 * 2.0));
        }
        swell[i] = static_cast<float>(sum);
    }
    Rng rng(ch.seed ^ 0x626564ULL);
    for (int c = 0; c < 2; ++c) {
        std::vector<float> rumble_noise(n);
        std::vector<float> hiss_noise(n);
        for (size_t i = 0; i < n; ++i) {
            rumble_noise[i] = static_cast<float>(rng.uniform(-1.0, 1.0));
            hiss_noise[i] = static_cast<float>(rng.uniform(-1.0, 1.0));
        }
        Svf rumble_high(30.0f, 0.7f);
        Svf rumble_a(static_cast<float>(ch.bed_cutoff), 0.55f);
        Svf rumble_b(static_cast<float>(ch.bed_cutoff) * 1.5f, 0.6f);
        Svf hiss_high(400.0f, 0.6f);
        Svf hiss_low(static_cast<float>(ch.hiss_cutoff), 0.6f);
        auto& out = loop.channel(c);
        // The first time around only settles the filters; the second is kept, so the end flows
        // into the start.
        for (size_t pass = 0; pass < 2; ++pass) {
            for (size_t i = 0; i < n; ++i) {
                const float rumble =
                    rumble_b
                        .process(rumble_a.process(rumble_high.process(rumble_noise[i]).high).low)
                        .low;
                const float hiss = hiss_low.process(hiss_high.process(hiss_noise[i]).high).low;
                if (pass == 1) {
                    out[i] +=
                        static_cast<float>(ch.bed_level * (0.7 + 0.5 * swell[i]) * 6.0) * rumble +
                        static_cast<float>(ch.hiss_level * (0.5 + 0.7 * swell[i])) * hiss;
                }
            }
        }
    }
}

} // namespace media
