#pragma once

#include "platform/base/Current.h"
#include "platform/graphics/TextRenderer.h"
#include "platform/sound/AudioDevice.h"
#include "platform/sound/OutputVolume.h"

#include <cstdint>
#include <string>

namespace platform {

// What the desktop offers the program besides its screen and input: sound, the output volume,
// label text, web addresses and seeds for random numbers.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // The services of the running program, for what cannot be handed them (a sound, the
    // stand-ins' global functions).
    static DesktopServices& current() { return Current<DesktopServices>::get(); }

    virtual AudioDevice& audio() = 0;
    virtual OutputVolume& output_volume() = 0;
    virtual TextRenderer& text() = 0;
    // Opens the address in the user's browser. Nothing is reported back.
    virtual void open_url(const std::string& url) = 0;
    // Seed for a new random generator.
    virtual uint64_t random_seed() = 0;
};

} // namespace platform
