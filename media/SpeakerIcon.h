#pragma once

#include <cstdint>
#include <vector>

namespace media {

// The 25x21 loudness icon: a speaker with one, two or three sound waves, light and crisp on the
// dark sky and on the black volume panel.
class SpeakerIcon {
public:
    static constexpr int width = 25;
    static constexpr int height = 21;

    explicit SpeakerIcon(int waves) : m_waves(waves) {}

    std::vector<std::uint8_t> render() const;

private:
    bool covers(float x, float y) const;

    int m_waves;
};

} // namespace media
