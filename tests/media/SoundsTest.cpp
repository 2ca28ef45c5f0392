#include "MediaFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int walk_id = 168;
constexpr int splash_id = 169;
constexpr int surf_id = 170;
constexpr int surf2_id = 171;
constexpr int all_ids[] = {walk_id, splash_id, surf_id, surf2_id};
constexpr int loop_ids[] = {surf_id, surf2_id};

const Sound& sound(int id) {
    return MediaFolder::instance().sound(id);
}

// RMS of both channels over frames [start, start + count), reading a loop around its end.
double rms(const Sound& s, long start, long count) {
    const auto n = static_cast<long>(s.frames());
    double sum = 0.0;
    for (long i = start; i < start + count; ++i) {
        const auto frame = static_cast<size_t>(((i % n) + n) % n);
        for (int c = 0; c < s.channels; ++c) {
            sum += s.at(frame, c) * s.at(frame, c);
        }
    }
    return std::sqrt(sum / static_cast<double>(count * s.channels));
}

double decibels(double ratio) {
    return 20.0 * std::log10(ratio);
}

// Level of the loudest three seconds, the stretch a listener would find too loud if any.
double loudest_stretch_db(const Sound& s) {
    const long window = std::min<long>(3L * s.rate, static_cast<long>(s.frames()));
    double loudest = 0.0;
    for (long start = 0; start + window <= static_cast<long>(s.frames()); start += s.rate / 10) {
        loudest = std::max(loudest, rms(s, start, window));
    }
    return decibels(loudest);
}

TEST(Sounds, EverySoundIsSixteenBitStereoOfItsLength) {
    struct Expected {
        int id;
        double shortest;
        double longest;
    };
    for (const auto& e : {Expected{walk_id, 5, 10}, Expected{splash_id, 3, 6},
                          Expected{surf_id, 20, 40}, Expected{surf2_id, 20, 40}}) {
        SCOPED_TRACE("sound " + std::to_string(e.id));
        const Sound& s = sound(e.id);
        EXPECT_EQ(s.rate, 44100);
        EXPECT_EQ(s.channels, 2);
        EXPECT_EQ(s.bits, 16);
        EXPECT_GE(s.seconds(), e.shortest);
        EXPECT_LE(s.seconds(), e.longest);
    }
}

TEST(Sounds, LoopsJoinWithoutAClickOrADip) {
    for (int id : loop_ids) {
        SCOPED_TRACE("sound " + std::to_string(id));
        const Sound& s = sound(id);
        const long n = static_cast<long>(s.frames());
        const long near = s.rate / 20;
        for (int c = 0; c < s.channels; ++c) {
            const double seam = std::abs(s.at(0, c) - s.at(static_cast<size_t>(n - 1), c));
            double largest_nearby = 0.0;
            for (long i = n - near; i < n + near; ++i) {
                if (i == n - 1) {
                    continue;
                }
                const double step = std::abs(s.at(static_cast<size_t>((i + 1) % n), c) -
                                             s.at(static_cast<size_t>(i % n), c));
                largest_nearby = std::max(largest_nearby, step);
            }
            EXPECT_LE(seam, largest_nearby) << "channel " << c;
        }
        // The level across the seam is that of the two seconds around it.
        const long tenth = s.rate / 10;
        const double across = rms(s, n - tenth / 2, tenth);
        std::vector<double> around;
        for (long start = n - 2L * s.rate; start < n + 2L * s.rate; start += tenth) {
            around.push_back(rms(s, start, tenth));
        }
        std::sort(around.begin(), around.end());
        EXPECT_GT(decibels(across / around[around.size() / 2]), -3.0);
    }
}

TEST(Sounds, LevelsAreSafeAndAlike) {
    std::vector<double> loudness;
    for (int id : all_ids) {
        SCOPED_TRACE("sound " + std::to_string(id));
        const Sound& s = sound(id);
        int peak = 0;
        for (auto v : s.samples) {
            peak = std::max(peak, std::abs(static_cast<int>(v)));
        }
        EXPECT_LE(decibels(peak / 32768.0), -1.0);
        for (int c = 0; c < s.channels; ++c) {
            double sum = 0.0;
            for (size_t i = 0; i < s.frames(); ++i) {
                sum += s.at(i, c);
            }
            EXPECT_LT(std::abs(sum / static_cast<double>(s.frames())), 0.001)
                << "DC in channel " << c;
        }
        loudness.push_back(loudest_stretch_db(s));
        EXPECT_GT(loudness.back(), -35.0) << "too quiet to hear";
    }
    const auto [quietest, loudest] = std::minmax_element(loudness.begin(), loudness.end());
    EXPECT_LE(*loudest - *quietest, 4.0);
}

TEST(Sounds, OneShotsStartAndEndInSilence) {
    for (int id : {walk_id, splash_id}) {
        SCOPED_TRACE("sound " + std::to_string(id));
        const Sound& s = sound(id);
        const long n = static_cast<long>(s.frames());
        const double body = rms(s, 0, n);
        EXPECT_LT(rms(s, 0, s.rate / 100), body / 10.0);
        EXPECT_LT(rms(s, n - s.rate / 100, s.rate / 100), body / 10.0);
    }
}

TEST(Sounds, SurfRisesAndFallsWithEachWaveInWideStereo) {
    for (int id : loop_ids) {
        SCOPED_TRACE("sound " + std::to_string(id));
        const Sound& s = sound(id);
        const long n = static_cast<long>(s.frames());
        // Level over time in half-second steps, read around the loop.
        std::vector<double> level;
        for (long start = 0; start < n; start += s.rate / 2) {
            level.push_back(decibels(rms(s, start - s.rate / 2, s.rate)));
        }
        const auto [low, high] = std::minmax_element(level.begin(), level.end());
        EXPECT_GT(*high - *low, 6.0) << "waves should come and go";
        // Count the swells: peaks that stand 3 dB above the lowest point since the last one.
        int waves = 0;
        double trough = *high;
        bool rising = false;
        const size_t m = level.size();
        const size_t from =
            static_cast<size_t>(std::min_element(level.begin(), level.end()) - level.begin());
        for (size_t k = 0; k <= m; ++k) {
            const double v = level[(from + k) % m];
            trough = std::min(trough, v);
            if (!rising && v > trough + 3.0) {
                rising = true;
            }
            if (rising && v < level[(from + k + m - 1) % m] - 1.5) {
                ++waves;
                rising = false;
                trough = v;
            }
        }
        EXPECT_GE(waves, s.seconds() / 12.0);
        EXPECT_LE(waves, s.seconds() / 3.0);

        double lr = 0.0;
        double ll = 0.0;
        double rr = 0.0;
        for (size_t i = 0; i < s.frames(); ++i) {
            lr += s.at(i, 0) * s.at(i, 1);
            ll += s.at(i, 0) * s.at(i, 0);
            rr += s.at(i, 1) * s.at(i, 1);
        }
        EXPECT_LT(lr / std::sqrt(ll * rr), 0.85) << "the two ears should hear different water";
    }
}

TEST(Sounds, FootstepsComeAtAWalkingPace) {
    // Steps stand out as bursts: count the rises of the level, over 40 ms every 20 ms, through
    // a threshold 20 dB under the loudest; heel and toe of one step are one rise, and a lone
    // grain settling afterwards is too short to reach it.
    const Sound& s = sound(walk_id);
    const long hop = s.rate / 50;
    std::vector<double> level;
    for (long start = 0; start + 2 * hop <= static_cast<long>(s.frames()); start += hop) {
        level.push_back(decibels(rms(s, start, 2 * hop) + 1e-9));
    }
    const double threshold = *std::max_element(level.begin(), level.end()) - 20.0;
    std::vector<double> onsets;
    for (size_t k = 1; k < level.size(); ++k) {
        const double at = static_cast<double>(k) / 50.0;
        if (level[k] >= threshold && level[k - 1] < threshold &&
            (onsets.empty() || at - onsets.back() > 0.25)) {
            onsets.push_back(at);
        }
    }
    ASSERT_GE(onsets.size(), 8u);
    for (size_t k = 1; k < onsets.size(); ++k) {
        const double gap = onsets[k] - onsets[k - 1];
        EXPECT_GT(gap, 0.35) << "step " << k;
        EXPECT_LT(gap, 0.9) << "step " << k;
    }
}

TEST(Sounds, SplashBreaksEarlyAndDiesAway) {
    const Sound& s = sound(splash_id);
    const long tenth = s.rate / 10;
    const long n = static_cast<long>(s.frames());
    long loudest_at = 0;
    double loudest = 0.0;
    for (long start = 0; start + tenth <= n; start += tenth / 2) {
        const double v = rms(s, start, tenth);
        if (v > loudest) {
            loudest = v;
            loudest_at = start;
        }
    }
    EXPECT_LT(loudest_at, n / 2);
    EXPECT_LT(decibels(rms(s, n - tenth, tenth) / loudest), -20.0);
}

// Where the energy sits: the mean frequency weighted by the spectrum, from the ratio of the
// signal's slope to the signal (a sine of frequency f gives f).
double brightness_hz(const Sound& s) {
    double slope = 0.0;
    double level = 0.0;
    for (size_t i = 1; i < s.frames(); ++i) {
        for (int c = 0; c < s.channels; ++c) {
            const double d = s.at(i, c) - s.at(i - 1, c);
            slope += d * d;
            level += s.at(i, c) * s.at(i, c);
        }
    }
    return std::sqrt(slope / level) * s.rate / (2.0 * 3.14159265);
}

TEST(Sounds, SecondSurfHasItsOwnColourAndRhythm) {
    const Sound& first = sound(surf_id);
    const Sound& second = sound(surf2_id);
    const double ratio = brightness_hz(second) / brightness_hz(first);
    EXPECT_TRUE(ratio > 1.15 || ratio < 1.0 / 1.15) << "brightness ratio " << ratio;
    // Loops of different lengths drift against each other instead of repeating as one.
    EXPECT_GT(std::abs(first.seconds() - second.seconds()), 2.0);
}

} // namespace
