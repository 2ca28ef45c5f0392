#pragma once

#include <cstdint>
#include <vector>

namespace media {

// The program's icon: the full moon with its halo over a night sea, on a rounded square that
// reads at 48 pixels.
class AppIcon {
public:
    explicit AppIcon(int size) : m_size(size) {}

    std::vector<std::uint8_t> render() const;

private:
    int m_size;
};

} // namespace media
