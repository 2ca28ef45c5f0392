#pragma once

#include "platform/sound/PcmSound.h"

namespace platform::AlertTone {

// C6: bright enough to notice, low enough to stay soft.
constexpr double kPitch = 1046.5;
// Length of the tone: short enough not to lag behind a slider being dragged.
constexpr double kSeconds = 0.12;
// Its loudest sample, as a fraction of full scale: audible beside the ambience, never harsh.
constexpr double kPeak = 0.3;

// The system alert, made in code: a soft two-partial tone whose envelope rises and falls
// smoothly from and to silence, so that it starts and ends without a click. Mono.
PcmSound make(int rate);

} // namespace platform::AlertTone
