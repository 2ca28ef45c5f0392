#include "platform/native/MixerAudioDevice.h"

#include "platform/sound/AlertTone.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <malloc.h>
#include <string>

namespace platform {

namespace {

constexpr int kFallbackRate = 44100;

// The default output's own rate, where the driver tells it.
int output_rate() {
    SDL_AudioSpec format{};
    char* name = nullptr;
    int rate = SDL_GetDefaultAudioInfo(&name, &format, 0) == 0 ? format.freq : 0;
    SDL_free(name);
    return rate > 0 ? rate : kFallbackRate;
}

} // namespace

MixerAudioDevice::MixerAudioDevice(int buffer_frames, int rate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        throw AudioDeviceError(SDL_GetError());
    // SDL asks the sound server for no more than its own buffer, and has no hint for more:
    // libpulse takes this from the environment when the stream connects, on this thread. It is
    // set only meanwhile, so that programs started later (the browser the credits open in) keep
    // their own.
    const bool server_buffer_is_ours = !std::getenv("PULSE_LATENCY_MSEC");
    if (server_buffer_is_ours)
        setenv("PULSE_LATENCY_MSEC", std::to_string(kServerBufferMs).c_str(), 1);
    int opened = Mix_OpenAudioDevice(
        rate == kOutputRate ? output_rate() : rate, AUDIO_S16SYS, 2, buffer_frames, nullptr,
        SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (server_buffer_is_ours)
        unsetenv("PULSE_LATENCY_MSEC");
    if (opened != 0) {
        std::string why = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        throw AudioDeviceError(why);
    }
    m_driver = SDL_GetCurrentAudioDriver();
    // A device opened again after a loss stays with the driver that played: while a sound
    // server restarts, SDL would otherwise go on to the card itself and keep it from the server.
    // The user's own SDL_AUDIODRIVER still comes first.
    SDL_SetHint(SDL_HINT_AUDIODRIVER, m_driver.c_str());
    // The device may have taken another rate or channel count; sounds are fitted to it.
    uint16_t format = 0;
    Mix_QuerySpec(&m_rate, &format, &m_channels);
    SDL_AddEventWatch(&MixerAudioDevice::on_event, this);
    Mix_SetPostMix(&MixerAudioDevice::apply_gain, this);
    m_alert.channel = take_channel();
    load(m_alert, std::make_shared<const PcmSound>(AlertTone::make(m_rate)));
}

MixerAudioDevice::~MixerAudioDevice() {
    SDL_DelEventWatch(&MixerAudioDevice::on_event, this);
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HaltChannel(-1);
    for (auto& [id, voice] : m_voices)
        unload(voice);
    unload(m_alert);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// On the thread that raised the event: SDL's audio thread when the device is lost.
int MixerAudioDevice::on_event(void* self, SDL_Event* event) {
    if (event->type == SDL_AUDIODEVICEREMOVED && !event->adevice.iscapture)
        static_cast<MixerAudioDevice*>(self)->m_lost = true;
    return 0;
}

void MixerAudioDevice::set_gain(float gain) {
    m_gain = std::clamp(gain, 0.0f, 1.0f);
}

// A new gain is reached by a straight ramp across one buffer (under a tenth of a second), so
// that a fade stepped a few times a second is heard as smooth.
void MixerAudioDevice::apply_gain(void* self, uint8_t* stream, int bytes) {
    auto& device = *static_cast<MixerAudioDevice*>(self);
    const float from = device.m_applied_gain;
    const float to = device.m_gain;
    device.m_applied_gain = to;
    if (from == 1 && to == 1)
        return;
    auto* samples = reinterpret_cast<int16_t*>(stream);
    const size_t count = static_cast<size_t>(bytes) / sizeof(int16_t);
    const size_t channels = static_cast<size_t>(std::max(device.m_channels, 1));
    const size_t frames = count / channels;
    for (size_t frame = 0; frame < frames; ++frame) {
        float gain =
            from + (to - from) * static_cast<float>(frame + 1) / static_cast<float>(frames);
        for (size_t c = 0; c < channels; ++c) {
            int16_t& sample = samples[frame * channels + c];
            sample = static_cast<int16_t>(std::lround(static_cast<float>(sample) * gain));
        }
    }
}

std::optional<std::string> MixerAudioDevice::lost() const {
    if (!m_lost)
        return std::nullopt;
    return "the " + m_driver + " output was closed";
}

int MixerAudioDevice::take_channel() {
    if (!m_free_channels.empty()) {
        int channel = m_free_channels.back();
        m_free_channels.pop_back();
        return channel;
    }
    int channel = m_channel_count++;
    Mix_AllocateChannels(m_channel_count);
    return channel;
}

std::shared_ptr<const PcmSound> MixerAudioDevice::fit(std::shared_ptr<const PcmSound> sound) {
    if (sound->rate == m_rate && sound->channels == m_channels)
        return sound;
    auto fitted = std::make_shared<PcmSound>();
    fitted->rate = m_rate;
    fitted->channels = m_channels;
    // The whole sound at once: SDL's streaming converter keeps back its last few hundred
    // frames, which would shorten the sound and put a step into a loop's seam.
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, static_cast<Uint8>(sound->channels), sound->rate,
                          AUDIO_S16SYS, static_cast<Uint8>(m_channels), m_rate) < 0)
        return fitted;
    cvt.len = static_cast<int>(sound->samples.size() * sizeof(int16_t));
    std::vector<int16_t> work(sound->samples.size() * static_cast<size_t>(cvt.len_mult));
    std::copy(sound->samples.begin(), sound->samples.end(), work.begin());
    cvt.buf = reinterpret_cast<Uint8*>(work.data());
    if (SDL_ConvertAudio(&cvt) == 0)
        fitted->samples.assign(work.begin(),
                               work.begin() + cvt.len_cvt / static_cast<int>(sizeof(int16_t)));
    // The work space and, where the caller has let go of it, the original are megabytes that
    // the allocator would otherwise keep for the rest of the run (6 MB with the beach on a
    // 48 kHz server).
    work = {};
    sound.reset();
    malloc_trim(0);
    return fitted;
}

void MixerAudioDevice::load(Voice& voice, std::shared_ptr<const PcmSound> sound) {
    voice.sound = fit(std::move(sound));
    if (voice.sound->samples.empty())
        return;
    // The mixer only reads a chunk's samples.
    auto* bytes = reinterpret_cast<Uint8*>(const_cast<int16_t*>(voice.sound->samples.data()));
    voice.chunk = Mix_QuickLoad_RAW(
        bytes, static_cast<Uint32>(voice.sound->samples.size() * sizeof(int16_t)));
}

void MixerAudioDevice::unload(Voice& voice) {
    if (voice.chunk) {
        Mix_HaltChannel(voice.channel);
        Mix_FreeChunk(voice.chunk);
        voice.chunk = nullptr;
    }
    voice.sound.reset();
}

AudioDevice::VoiceId MixerAudioDevice::add_voice(std::shared_ptr<const PcmSound> sound,
                                                 const std::string&) {
    VoiceId id = m_next++;
    Voice& voice = m_voices[id];
    voice.channel = take_channel();
    load(voice, std::move(sound));
    return id;
}

void MixerAudioDevice::remove_voice(VoiceId id) {
    auto it = m_voices.find(id);
    if (it == m_voices.end())
        return;
    unload(it->second);
    m_free_channels.push_back(it->second.channel);
    m_voices.erase(it);
}

void MixerAudioDevice::play(VoiceId id, bool looping) {
    // Playing on the voice's own channel cuts what that channel was playing: a sound played
    // again starts from its beginning.
    if (auto it = m_voices.find(id); it != m_voices.end() && it->second.chunk)
        Mix_PlayChannel(it->second.channel, it->second.chunk, looping ? -1 : 0);
}

void MixerAudioDevice::fade_in(VoiceId id, bool looping, std::chrono::milliseconds fade) {
    if (auto it = m_voices.find(id); it != m_voices.end() && it->second.chunk)
        Mix_FadeInChannel(it->second.channel, it->second.chunk, looping ? -1 : 0,
                          static_cast<int>(fade.count()));
}

void MixerAudioDevice::stop(VoiceId id) {
    if (auto it = m_voices.find(id); it != m_voices.end())
        Mix_HaltChannel(it->second.channel);
}

bool MixerAudioDevice::is_playing(VoiceId id) {
    auto it = m_voices.find(id);
    return it != m_voices.end() && it->second.chunk && Mix_Playing(it->second.channel) != 0;
}

void MixerAudioDevice::beep() {
    if (m_alert.chunk)
        Mix_PlayChannel(m_alert.channel, m_alert.chunk, 0);
}

} // namespace platform
