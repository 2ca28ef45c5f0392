#include "platform/compat/Functions.h"

#include "platform/loop/EventLoop.h"
#include "platform/sound/DesktopServices.h"

#include <cmath>
#include <limits>

namespace platform {

void Quit(int code) {
    EventLoop::current().quit(code);
}

void Beep() {
    DesktopServices::current().audio().beep();
}

void ShowURL(const std::string& url) {
    DesktopServices::current().open_url(url);
}

int32_t Round(double value) {
    double r = std::round(value);
    if (!(r >= std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (r > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

} // namespace platform
