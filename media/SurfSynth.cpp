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
    Rng rng(ch.seed ^ 0x626564ULL);
    for (int c = 0; c < 2; ++c) {
        std::vector<float> white(n);
        for (float& w : white) {
            w = static_cast<float>(rng.uniform(-1.0, 1.0));
        }
        Svf high(30.0f, 0.7f);
        Svf low_a(static_cast<float>(ch.bed_cutoff), 0.55f);
        Svf low_b(static_cast<float>(ch.bed_cutoff) * 1.5f, 0.6f);
        auto& out = loop.channel(c);
        // The first time around only settles the filters; the second is kept, so the end flows
        // into the start.
        for (size_t pass = 0; pass < 2; ++pass) {
            for (size_t i = 0; i < n; ++i) {
                const float v = low_b.process(low_a.process(high.process(white[i]).high).low).low;
                if (pass == 1) {
                    const double t = static_cast<double>(i) / StereoBuffer::rate;
                    // The murmur swells a little after each break.
                    double swell = 0.0;
                    for (double b : breaks) {
                        double d = std::fmod(std::abs(t - b - 1.5), loop_seconds);
                        d = std::min(d, loop_seconds - d);
                        swell += std::exp(-d * d / (2.0 * 2.0 * 2.0));
                    }
                    out[i] += static_cast<float>(ch.bed_level * (0.7 + 0.5 * swell) * 6.0) * v;
                }
            }
        }
    }
}

} // namespace media
