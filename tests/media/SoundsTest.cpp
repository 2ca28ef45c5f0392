#include "MediaFolder.h"
#include "common/MediaItems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int walk_id = media_items::item("walk").id;
constexpr int splash_id = media_items::item("splash").id;
constexpr int surf_id = media_items::item("surf").id;
constexpr int surf2_id = media_items::item("surf2").id;
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

} // namespace
