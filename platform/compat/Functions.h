#pragma once

#include <cstdint>
#include <string>

// Stand-in: the framework's global functions the program calls, over the runtime and backend.
namespace platform {

// Ends the event loop; the exit status follows from code.
void Quit(int code = 0);
// The system alert sound.
void Beep();
// Opens the address in the user's browser. Nothing is reported back.
void ShowURL(const std::string& url);
// Nearest whole number; halves go away from zero.
int32_t Round(double value);

} // namespace platform
