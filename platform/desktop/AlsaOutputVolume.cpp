#include "platform/desktop/AlsaOutputVolume.h"

#include <alsa/asoundlib.h>

#include <algorithm>

namespace platform {

namespace {

constexpr auto kRetryInterval = std::chrono::seconds(5);

void ignore_message(const char*, int, const char*, int, const char*, ...) {
}

bool is_left(snd_mixer_selem_channel_id_t channel) {
    return channel == SND_MIXER_SCHN_FRONT_LEFT || channel == SND_MIXER_SCHN_REAR_LEFT ||
           channel == SND_MIXER_SCHN_SIDE_LEFT;
}

bool is_right(snd_mixer_selem_channel_id_t channel) {
    return channel == SND_MIXER_SCHN_FRONT_RIGHT || channel == SND_MIXER_SCHN_REAR_RIGHT ||
           channel == SND_MIXER_SCHN_SIDE_RIGHT;
}

snd_mixer_elem_t* find_control(snd_mixer_t* mixer) {
    for (const char* name : {"Master", "PCM"}) {
        snd_mixer_selem_id_t* id;
        snd_mixer_selem_id_alloca(&id);
        snd_mixer_selem_id_set_name(id, name);
        snd_mixer_elem_t* elem = snd_mixer_find_selem(mixer, id);
        if (elem && snd_mixer_selem_has_playback_volume(elem))
            return elem;
    }
    for (snd_mixer_elem_t* elem = snd_mixer_first_elem(mixer); elem;
         elem = snd_mixer_elem_next(elem))
        if (snd_mixer_selem_has_playback_volume(elem))
            return elem;
    return nullptr;
}

} // namespace

AlsaOutputVolume::AlsaOutputVolume(std::string device) : m_device(std::move(device)) {
}

AlsaOutputVolume::~AlsaOutputVolume() {
    close();
}

void AlsaOutputVolume::quiet_library() {
    snd_lib_error_set_handler(&ignore_message);
}

bool AlsaOutputVolume::open() {
    if (m_control)
        return true;
    auto now = std::chrono::steady_clock::now();
    if (m_tried && now - m_last_attempt < kRetryInterval)
        return false;
    m_tried = true;
    m_last_attempt = now;
    if (snd_mixer_open(&m_mixer, 0) < 0) {
        m_mixer = nullptr;
        return false;
    }
    if (snd_mixer_attach(m_mixer, m_device.c_str()) < 0 ||
        snd_mixer_selem_register(m_mixer, nullptr, nullptr) < 0 || snd_mixer_load(m_mixer) < 0 ||
        !(m_control = find_control(m_mixer))) {
        close();
        return false;
    }
    return true;
}

void AlsaOutputVolume::close() {
    if (m_mixer)
        snd_mixer_close(m_mixer);
    m_mixer = nullptr;
    m_control = nullptr;
}

void AlsaOutputVolume::set(uint8_t left, uint8_t right) {
    if (!open())
        return;
    long low = 0, high = 0;
    snd_mixer_selem_get_playback_volume_range(m_control, &low, &high);
    auto value = [&](uint8_t level) {
        return low + (high - low) * level / 255;
    };
    const uint8_t louder = std::max(left, right);
    const bool has_switch = snd_mixer_selem_has_playback_switch(m_control);
    const bool one_switch = has_switch && (snd_mixer_selem_is_playback_mono(m_control) ||
                                           snd_mixer_selem_has_playback_switch_joined(m_control));
    bool ok = true;
    if (snd_mixer_selem_is_playback_mono(m_control)) {
        ok = snd_mixer_selem_set_playback_volume_all(m_control, value(louder)) >= 0;
    } else {
        for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
            auto channel = static_cast<snd_mixer_selem_channel_id_t>(c);
            if (!snd_mixer_selem_has_playback_channel(m_control, channel))
                continue;
            uint8_t level = is_left(channel) ? left : is_right(channel) ? right : louder;
            ok = ok && snd_mixer_selem_set_playback_volume(m_control, channel, value(level)) >= 0;
            if (has_switch && !one_switch)
                snd_mixer_selem_set_playback_switch(m_control, channel, level > 0);
        }
    }
    if (one_switch)
        snd_mixer_selem_set_playback_switch_all(m_control, louder > 0);
    // A card that went away is looked for again by the next level.
    if (!ok)
        close();
}

std::optional<OutputVolume::Reading> AlsaOutputVolume::read() {
    if (!open())
        return std::nullopt;
    snd_mixer_handle_events(m_mixer);
    long low = 0, high = 0;
    snd_mixer_selem_get_playback_volume_range(m_control, &low, &high);
    long loudest = low;
    bool switched_on = !snd_mixer_selem_has_playback_switch(m_control);
    for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
        auto channel = static_cast<snd_mixer_selem_channel_id_t>(c);
        if (!snd_mixer_selem_has_playback_channel(m_control, channel))
            continue;
        long value = low;
        if (snd_mixer_selem_get_playback_volume(m_control, channel, &value) < 0) {
            close();
            return std::nullopt;
        }
        loudest = std::max(loudest, value);
        int on = 1;
        if (!switched_on && snd_mixer_selem_get_playback_switch(m_control, channel, &on) >= 0)
            switched_on = on != 0;
    }
    if (high <= low)
        return std::nullopt;
    auto level = static_cast<uint8_t>(((loudest - low) * 255 + (high - low) / 2) / (high - low));
    return Reading{level, !switched_on};
}

} // namespace platform
