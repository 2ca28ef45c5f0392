#include "StereoBuffer.h"

namespace media {

void StereoBuffer::mix(const StereoBuffer& other, size_t at, float gain, bool wrap) {
    const size_t length = frames();
    for (size_t i = 0; i < other.frames(); ++i) {
        size_t target = at + i;
        if (target >= length) {
            if (!wrap) {
                break;
            }
            target %= length;
        }
        m_left[target] += gain * other.m_left[i];
        m_right[target] += gain * other.m_right[i];
    }
}

} // namespace media
