#include "platform/sdl/MixerAudioDevice.h"

#include "platform/sound/AlertTone.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace platform {

namespace {

constexpr int kRate = 44100;

} // namespace

MixerAudioDevice::MixerAudioDevice(int buffer_frames) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        throw AudioDeviceError(SDL_GetError());
    if (Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, buffer_frames) != 0) {
        std::string why = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        throw AudioDeviceError(why);
    }
    // The device may have taken another rate or channel count; sounds are converted to it.
    Mix_QuerySpec(&m_rate, &m_format, &m_channels);
    m_alert.channel = take_channel();
    load(m_alert, AlertTone::make(m_rate));
}

MixerAudioDevice::~MixerAudioDevice() {
    Mix_HaltChannel(-1);
    for (auto& [id, voice] : m_voices)
        unload(voice);
    unload(m_alert);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
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

void MixerAudioDevice::load(Voice& voice, const PcmSound& sound) {
    if (sound.frames() == 0 || (sound.channels != 1 && sound.channels != 2))
        return;
    const auto* bytes = reinterpret_cast<const uint8_t*>(sound.samples.data());
    const size_t size = sound.samples.size() * sizeof(int16_t);
    if (sound.rate == m_rate && sound.channels == m_channels && m_format == AUDIO_S16SYS) {
        voice.pcm.assign(bytes, bytes + size);
    } else {
        SDL_AudioStream* stream =
            SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(sound.channels), sound.rate,
                               m_format, static_cast<Uint8>(m_channels), m_rate);
        if (!stream)
            return;
        if (SDL_AudioStreamPut(stream, bytes, static_cast<int>(size)) == 0 &&
            SDL_AudioStreamFlush(stream) == 0) {
            voice.pcm.resize(static_cast<size_t>(SDL_AudioStreamAvailable(stream)));
            int got =
                SDL_AudioStreamGet(stream, voice.pcm.data(), static_cast<int>(voice.pcm.size()));
            voice.pcm.resize(got > 0 ? static_cast<size_t>(got) : 0);
        }
        SDL_FreeAudioStream(stream);
    }
    if (!voice.pcm.empty())
        voice.chunk = Mix_QuickLoad_RAW(voice.pcm.data(), static_cast<Uint32>(voice.pcm.size()));
}

void MixerAudioDevice::unload(Voice& voice) {
    if (voice.chunk) {
        Mix_HaltChannel(voice.channel);
        Mix_FreeChunk(voice.chunk);
        voice.chunk = nullptr;
    }
}

AudioDevice::VoiceId MixerAudioDevice::add_voice(std::shared_ptr<const PcmSound> sound,
                                                 const std::string&) {
    VoiceId id = m_next++;
    Voice& voice = m_voices[id];
    voice.channel = take_channel();
    load(voice, *sound);
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

void MixerAudioDevice::start(const Voice& voice, bool looping) {
    // Playing on the voice's own channel cuts what that channel was playing: a sound played
    // again starts from its beginning.
    if (voice.chunk)
        Mix_PlayChannel(voice.channel, voice.chunk, looping ? -1 : 0);
}

void MixerAudioDevice::play(VoiceId id, bool looping) {
    if (auto it = m_voices.find(id); it != m_voices.end())
        start(it->second, looping);
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
    start(m_alert, false);
}

} // namespace platform
