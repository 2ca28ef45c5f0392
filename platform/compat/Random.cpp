#include "platform/compat/Random.h"

#include "platform/sound/DesktopServices.h"

#include <utility>

namespace platform {

Random::Random() : m_engine(DesktopServices::current().random_seed()) {
}

int32_t Random::InRange(int32_t low, int32_t high) {
    if (high < low)
        std::swap(low, high);
    return std::uniform_int_distribution<int32_t>(low, high)(m_engine);
}

} // namespace platform
