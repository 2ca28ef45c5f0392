#include "platform/compat/MemoryBlock.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace platform {

void MemoryBlock::check(size_t offset, size_t width) const {
    if (offset > m_bytes.size() || width > m_bytes.size() - offset)
        throw std::out_of_range("memory block of " + std::to_string(m_bytes.size()) +
                                " bytes accessed at " + std::to_string(offset));
}

void MemoryBlock::Byte(size_t offset, uint8_t value) {
    check(offset, 1);
    m_bytes[offset] = value;
}

void MemoryBlock::Short(size_t offset, int16_t value) {
    check(offset, 2);
    std::memcpy(&m_bytes[offset], &value, 2);
}

void MemoryBlock::Long(size_t offset, int32_t value) {
    check(offset, 4);
    std::memcpy(&m_bytes[offset], &value, 4);
}

uint8_t MemoryBlock::Byte(size_t offset) const {
    check(offset, 1);
    return m_bytes[offset];
}

int16_t MemoryBlock::Short(size_t offset) const {
    check(offset, 2);
    int16_t v;
    std::memcpy(&v, &m_bytes[offset], 2);
    return v;
}

int32_t MemoryBlock::Long(size_t offset) const {
    check(offset, 4);
    int32_t v;
    std::memcpy(&v, &m_bytes[offset], 4);
    return v;
}

} // namespace platform
