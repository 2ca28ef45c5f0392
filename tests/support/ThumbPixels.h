#pragma once

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace testing_support {

// The slider thumb's face is a light neutral grey, pressed or not; the groove, the accent fill
// and the ground around it are not.
inline bool is_thumb_grey(uint32_t p) {
    int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return r > 140 && std::abs(r - g) < 16 && std::abs(r - b) < 16;
}

// The middle of the run of thumb pixels along a line of pixels across the thumb, or nothing.
inline std::optional<int> thumb_middle(const std::vector<uint32_t>& line) {
    int first = -1, last = -1;
    for (int i = 0; i < static_cast<int>(line.size()); ++i)
        if (is_thumb_grey(line[i])) {
            if (first < 0)
                first = i;
            last = i;
        }
    if (first < 0)
        return std::nullopt;
    return (first + last) / 2;
}

} // namespace testing_support
