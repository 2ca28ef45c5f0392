#pragma once

#include "platform/Backend.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class ReconnectingAudioDevice;

// What a backend on a real desktop does the same whichever display it shows on: sounds through
// SDL_mixer, silent while there is no output and opened again when one comes; the output volume
// through PulseAudio or else ALSA; label text; web addresses; random seeds; the wait for the
// next event, which wakes for the sound's next attempt to reopen too; and a second interrupt
// during shutdown ending the process at once.
class DesktopBackend : public Backend {
public:
    ~DesktopBackend() override;

    // Waits in wait_for, as long as the deadline and the sound's next attempt allow.
    std::optional<InputEvent> wait_event(std::optional<Micros> deadline) final;

    void open_url(const std::string& url) override;
    AudioDevice& audio() override;
    OutputVolume& output_volume() override;
    TextRenderer& text() override;
    uint64_t random_seed() override;
    // Stand-in: the program declares its document types but opens no documents, so nothing is
    // written to the desktop's file associations.
    void declare_document_type(const DocumentType&) override {}
    void withdraw_document_type(const std::string&) override {}
    // From now on an interrupt or termination request ends the process at once: the first one
    // already asked for the shutdown under way.
    void loop_ended() override;

protected:
    DesktopBackend();
    // Starts the services once the backend's clock answers. volume_changed is called, on any
    // thread, when the output volume was changed elsewhere: it wakes the loop, whose backend then
    // hands it an OutputVolumeChanged event.
    void start_services(std::function<void()> volume_changed);
    // Stops them before the backend lets go of what they need: closing the sound lets its last
    // buffers play out, and a volume change just made may still be on its way.
    void stop_services();
    // Waits up to timeout (forever without one) for the display's next input event; nothing when
    // the time ran out or what came was no input event for the program.
    virtual std::optional<InputEvent> wait_for(std::optional<Micros> timeout) = 0;

private:
    std::unique_ptr<OutputVolume> m_volume;
    std::unique_ptr<ReconnectingAudioDevice> m_audio;
    std::unique_ptr<TextRenderer> m_text;
};

} // namespace platform
