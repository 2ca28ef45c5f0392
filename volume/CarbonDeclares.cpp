#include "volume/CarbonDeclares.h"

#include "platform/compat/MemoryBlock.h"
#include "platform/compat/SoundManager.h"

namespace CarbonDeclares {

void SetOutputVolume(int32_t left, int32_t right) {
    // The level is two 16-bit channel levels side by side, read back as one 32-bit word.
    platform::MemoryBlock level(4);
    level.Short(0, static_cast<int16_t>(left));
    level.Short(2, static_cast<int16_t>(right));
    platform::SetDefaultOutputVolume(level.Long(0));
}

} // namespace CarbonDeclares
