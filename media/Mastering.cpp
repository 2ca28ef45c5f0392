#include "Mastering.h"

#include "Biquad.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numeric>
#include <vector>

namespace media {

size_t Mastering::wrap(long index, size_t length) const {
    const auto n = static_cast<long>(length);
    if (m_looping == Looping::Yes) {
        return static_cast<size_t>(((index % n) + n) % n);
    }
    return static_cast<size_t>(std::clamp(index, 0L, n - 1));
}

void Mastering::remove_dc(StereoBuffer& sound) const {
    for (int c = 0; c < 2; ++c) {
        auto& samples = sound.channel(c);
        const double mean = std::accumulate(samples.begin(), samples.end(), 0.0) /
                            static_cast<double>(samples.size());
        for (float& s : samples) {
            s -= static_cast<float>(mean);
        }
    }
}

double Mastering::loudest_stretch(const StereoBuffer& sound) const {
    const size_t n = sound.frames();
    // A loop is weighted from a settled filter: run it once around before measuring.
    const size_t warm = m_looping == Looping::Yes ? n : 0;
    std::vector<double> power(n, 0.0);
    for (int c = 0; c < 2; ++c) {
        Biquad shelf = Biquad::high_shelf(1681.97, 0.7072, 4.0);
        Biquad high = Biquad::high_pass(38.14, 0.5003);
        const auto& samples = sound.channel(c);
        for (size_t i = 0; i < warm + n; ++i) {
            const double v = high.process(shelf.process(samples[i % n]));
            if (i >= warm) {
                power[i - warm] += v * v;
            }
        }
    }
    const auto window = static_cast<long>(std::min(n, StereoBuffer::frames_for(3.0)));
    const auto hop = static_cast<long>(StereoBuffer::frames_for(0.1));
    const long last =
        m_looping == Looping::Yes ? static_cast<long>(n) : static_cast<long>(n) - window + 1;
    double loudest = 0.0;
    for (long start = 0; start < last; start += hop) {
        double sum = 0.0;
        for (long i = start; i < start + window; ++i) {
            sum += power[wrap(i, n)];
        }
        loudest = std::max(loudest, sum / static_cast<double>(window));
    }
    return -0.691 + 10.0 * std::log10(loudest + 1e-20);
}

void Mastering::limit(StereoBuffer& sound) const {
    const size_t n = sound.frames();
    const double ceiling = std::pow(10.0, ceiling_dbfs / 20.0);
    std::vector<double> needed(n);
    for (size_t i = 0; i < n; ++i) {
        const double peak = std::max(std::abs(sound.left()[i]), std::abs(sound.right()[i]));
        needed[i] = peak > ceiling ? ceiling / peak : 1.0;
    }
    // The gain at each sample is the average, over the 10 ms before it, of the least gain needed
    // in the 10 ms after each of those: never more than that sample needs, and smooth.
    const long span = static_cast<long>(StereoBuffer::frames_for(0.01));
    const long begin = -2 * span;
    const long end = static_cast<long>(n) + span;
    std::vector<double> least(static_cast<size_t>(end - begin));
    std::deque<long> window;
    for (long i = end - 1; i >= begin; --i) {
        while (!window.empty() && needed[wrap(window.back(), n)] >= needed[wrap(i, n)]) {
            window.pop_back();
        }
        window.push_back(i);
        while (window.front() > i + span) {
            window.pop_front();
        }
        least[static_cast<size_t>(i - begin)] = needed[wrap(window.front(), n)];
    }
    double running = 0.0;
    for (long i = -span; i < 0; ++i) {
        running += least[static_cast<size_t>(i - begin)];
    }
    for (long i = 0; i < static_cast<long>(n); ++i) {
        running +=
            least[static_cast<size_t>(i - begin)] - least[static_cast<size_t>(i - span - begin)];
        const auto gain = static_cast<float>(running / static_cast<double>(span));
        sound.left()[static_cast<size_t>(i)] *= gain;
        sound.right()[static_cast<size_t>(i)] *= gain;
    }
}

void Mastering::finish(StereoBuffer& sound, double loudness_target) const {
    remove_dc(sound);
    // Limiting takes a little loudness off a sound with sharp peaks; a second round makes it up.
    for (int round = 0; round < 2; ++round) {
        const double gain = std::pow(10.0, (loudness_target - loudest_stretch(sound)) / 20.0);
        for (int c = 0; c < 2; ++c) {
            for (float& s : sound.channel(c)) {
                s *= static_cast<float>(gain);
            }
        }
        limit(sound);
    }
}

} // namespace media
