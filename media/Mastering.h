#pragma once

#include "StereoBuffer.h"

namespace media {

// The last step of every sound: no DC, the same loudness for all, and peaks held under the
// ceiling by a look-ahead limiter. A looping sound is treated as a circle, so that its seam
// stays invisible.
class Mastering {
public:
    enum class Looping { No, Yes };

    static constexpr double ceiling_dbfs = -1.5;

    explicit Mastering(Looping looping) : m_looping(looping) {}

    void finish(StereoBuffer& sound, double loudness_target) const;
    // Loudest 3-second stretch, K-weighted as broadcast loudness meters do, in LUFS.
    double loudest_stretch(const StereoBuffer& sound) const;

private:
    void remove_dc(StereoBuffer& sound) const;
    void limit(StereoBuffer& sound) const;
    size_t wrap(long index, size_t length) const;

    Looping m_looping;
};

} // namespace media
