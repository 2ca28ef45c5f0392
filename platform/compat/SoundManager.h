#pragma once

#include <cstdint>

namespace platform {

// Stand-in: the volume panel's call into the system's sound manager, turned into the desktop's
// output volume (see OutputVolume). Sets the desktop's default output volume from a level that
// holds the two channel levels as a MemoryBlock lays them out: the left channel in bytes 0 and 1 of
// the level as stored in memory, the right channel in bytes 2 and 3 (the low and the high half on a
// little-endian machine). Each counts from 0 (silence) to 255 (full volume); one outside that
// range, read as a signed 16-bit number, is clamped to it. Nothing is reported back: a desktop
// without a volume service ignores the call.
void SetDefaultOutputVolume(int32_t level);

} // namespace platform
