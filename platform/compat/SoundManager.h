#pragma once

#include "platform/sound/OutputVolume.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Stand-in: the volume panel's call into the system's sound manager, turned into the desktop's
// output volume (see OutputVolume). Sets the desktop's default output volume from a level that
// holds the two channel levels as a MemoryBlock lays them out: the left channel in bytes 0 and 1 of
// the level as stored in memory, the right channel in bytes 2 and 3 (the low and the high half on a
// little-endian machine). Each counts from 0 (silence) to 255 (full volume); one outside that
// range, read as a signed 16-bit number, is clamped to it. A level above 0 also unmutes the
// output. Nothing is reported back: a desktop without a volume service ignores the call.
void SetDefaultOutputVolume(int32_t level);

// The desktop's default output volume as it is, without changing it: 0 (silence) to 255 (its
// normal full volume, or louder), and whether it is muted. Nothing where it cannot be read.
std::optional<OutputVolume::Reading> GetDefaultOutputVolume();

// Runs handler on the main thread after every change of the default output volume made outside
// the program (volume keys, the desktop's mixer), for as long as the returned handle is kept.
// A failure in it is reported under handler_name and ends that call only.
std::shared_ptr<void> WatchDefaultOutputVolume(const std::string& handler_name,
                                               std::function<void()> handler);

} // namespace platform
