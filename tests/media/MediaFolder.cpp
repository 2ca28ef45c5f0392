#include "MediaFolder.h"

#include <SDL.h>
#include <SDL_image.h>
#include <array>
#include <cmath>
#include <cstring>
#include <stdexcept>

double Picture::linear(std::uint8_t encoded) {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (size_t i = 0; i < t.size(); ++i) {
            const double e = static_cast<double>(i) / 255.0;
            t[i] = e <= 0.04045 ? e / 12.92 : std::pow((e + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table[encoded];
}

MediaFolder& MediaFolder::instance() {
    static MediaFolder folder;
    return folder;
}

MediaFolder::MediaFolder() : m_root(QUORVANE_MEDIA_DIR) {
}

std::string MediaFolder::picture_path(int id, int scale) const {
    const std::string suffix = scale == 1 ? "" : "@" + std::to_string(scale) + "x";
    return m_root + "/pictures/" + std::to_string(id) + suffix + ".png";
}

std::string MediaFolder::sound_path(int id) const {
    return m_root + "/sounds/" + std::to_string(id) + ".wav";
}

const Picture& MediaFolder::picture(int id, int scale) {
    if (const auto found = m_pictures.find({id, scale}); found != m_pictures.end()) {
        return found->second;
    }
    SDL_Surface* loaded = IMG_Load(picture_path(id, scale).c_str());
    if (!loaded) {
        throw std::runtime_error("cannot load " + picture_path(id, scale) + ": " + IMG_GetError());
    }
    Picture picture;
    picture.width = loaded->w;
    picture.height = loaded->h;
    picture.has_alpha = SDL_ISPIXELFORMAT_ALPHA(loaded->format->format);
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba) {
        throw std::runtime_error("cannot convert " + picture_path(id, scale));
    }
    picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(&picture.rgba[static_cast<size_t>(y) * picture.width * 4],
                    static_cast<const std::uint8_t*>(rgba->pixels) +
                        static_cast<size_t>(y) * rgba->pitch,
                    static_cast<size_t>(picture.width) * 4);
    }
    SDL_FreeSurface(rgba);
    return m_pictures.emplace(std::pair{id, scale}, std::move(picture)).first->second;
}

const Sound& MediaFolder::sound(int id) {
    if (const auto found = m_sounds.find(id); found != m_sounds.end()) {
        return found->second;
    }
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(sound_path(id).c_str(), &format, &buffer, &length)) {
        throw std::runtime_error("cannot load sound " + std::to_string(id) + ": " + SDL_GetError());
    }
    Sound sound;
    sound.rate = format.freq;
    sound.channels = format.channels;
    sound.bits = SDL_AUDIO_BITSIZE(format.format);
    if (format.format == AUDIO_S16LSB) {
        sound.samples.resize(length / 2);
        std::memcpy(sound.samples.data(), buffer, sound.samples.size() * 2);
    }
    SDL_FreeWAV(buffer);
    return m_sounds.emplace(id, std::move(sound)).first->second;
}
