#pragma once

#include "platform/base/Object.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// Stand-in: the volume panel builds its level word in a byte buffer, as it did on the platform
// it was first written for. A fixed-size buffer with stores and loads at byte offsets, in the
// machine's own byte order; an access outside the block raises std::out_of_range.
class MemoryBlock : public Object {
public:
    explicit MemoryBlock(size_t size) : m_bytes(size, 0) {}

    size_t Size() const { return m_bytes.size(); }
    void Byte(size_t offset, uint8_t value);
    void Short(size_t offset, int16_t value);
    void Long(size_t offset, int32_t value);
    uint8_t Byte(size_t offset) const;
    int16_t Short(size_t offset) const;
    int32_t Long(size_t offset) const;
    // The address of the first byte, for platform calls that read the block as a structure.
    const uint8_t* address() const { return m_bytes.data(); }

private:
    void check(size_t offset, size_t width) const;
    std::vector<uint8_t> m_bytes;
};

} // namespace platform
