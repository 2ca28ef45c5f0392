#include "platform/sound/AlertTone.h"

#include <cmath>
#include <numbers>

namespace platform::AlertTone {

namespace {

constexpr double kOvertone = 0.2; // a little of the octave above, so it sounds less bare
constexpr double kAttackSeconds = 0.008;

// Rises as sin² and falls as cos²: zero and flat at both ends and where they meet.
double envelope(double t) {
    constexpr double half_pi = std::numbers::pi / 2;
    if (t < kAttackSeconds) {
        double s = std::sin(half_pi * t / kAttackSeconds);
        return s * s;
    }
    double c = std::cos(half_pi * (t - kAttackSeconds) / (kSeconds - kAttackSeconds));
    return c * c;
}

} // namespace

PcmSound make(int rate) {
    PcmSound tone;
    tone.rate = rate;
    tone.channels = 1;
    auto frames = static_cast<long>(std::lround(kSeconds * rate));
    tone.samples.resize(static_cast<size_t>(frames));
    constexpr double two_pi = 2 * std::numbers::pi;
    // The two partials never peak together by more than this much.
    const double scale = kPeak * 32767.0 / (1.0 + kOvertone);
    for (long i = 0; i < frames; ++i) {
        double t = double(i) / rate;
        double wave = std::sin(two_pi * kPitch * t) + kOvertone * std::sin(two_pi * 2 * kPitch * t);
        tone.samples[static_cast<size_t>(i)] =
            static_cast<int16_t>(std::lround(scale * envelope(t) * wave));
    }
    return tone;
}

} // namespace platform::AlertTone
