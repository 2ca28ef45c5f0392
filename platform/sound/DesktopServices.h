#pragma once

#include "platform/base/Current.h"
#include "platform/graphics/TextRenderer.h"
#include "platform/sound/AudioDevice.h"
#include "platform/sound/OutputVolume.h"

#include <cstdint>
#include <string>

namespace platform {

// A document type as the program declares it to the desktop.
struct DocumentType {
    std::string name;
    std::string creator;
    std::string type;
    std::string extensions;
    friend bool operator==(const DocumentType&, const DocumentType&) = default;
};

// What the desktop offers the program besides its screen and input: sound, the output volume,
// label text, web addresses, seeds for random numbers and the declaration of document types.
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
    // Declares a document type the program knows, or withdraws the declaration by name.
    virtual void declare_document_type(const DocumentType& type) = 0;
    virtual void withdraw_document_type(const std::string& name) = 0;
};

} // namespace platform
