#pragma once

#include <cstdint>

// The system calls the volume panel makes.
namespace CarbonDeclares {

// Sets the system's default output volume, each channel 0 (silence) to 255 (full).
void SetOutputVolume(int32_t left, int32_t right);

} // namespace CarbonDeclares
