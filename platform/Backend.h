#pragma once

#include "platform/graphics/Display.h"
#include "platform/loop/EventSource.h"
#include "platform/sound/DesktopServices.h"

namespace platform {

// What the runtime needs of the machine it runs on, in three parts that the layers below take
// one by one: the events and the clock (the loop), the display (the desktop of windows) and the
// desktop's services (sounds, labels, the stand-ins). The SDL and Wayland backends talk to a
// real desktop; the headless backend keeps a virtual clock, an in-memory screen and a record of
// every effect, for tests.
class Backend : public EventSource, public Display, public DesktopServices {};

} // namespace platform
