#pragma once

#include <cstddef>
#include <vector>

namespace media {

// Stereo sound in floats, full scale at 1.0.
class StereoBuffer {
public:
    static constexpr int rate = 44100;

    explicit StereoBuffer(std::size_t frames) : m_left(frames, 0.0f), m_right(frames, 0.0f) {}

    std::size_t frames() const { return m_left.size(); }
    std::vector<float>& left() { return m_left; }
    std::vector<float>& right() { return m_right; }
    const std::vector<float>& left() const { return m_left; }
    const std::vector<float>& right() const { return m_right; }
    std::vector<float>& channel(int index) { return index == 0 ? m_left : m_right; }
    const std::vector<float>& channel(int index) const { return index == 0 ? m_left : m_right; }

    // Adds `other` starting at frame `at`; with `wrap`, what runs past the end comes back at the
    // start, which is how events are laid into a seamless loop.
    void mix(const StereoBuffer& other, std::size_t at, float gain, bool wrap);

    static std::size_t frames_for(double seconds) {
        return static_cast<std::size_t>(seconds * rate + 0.5);
    }

private:
    std::vector<float> m_left;
    std::vector<float> m_right;
};

} // namespace media
