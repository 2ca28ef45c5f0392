#include "tests/support/FakeMedia.h"

#include "platform/sound/PcmSound.h"

namespace testing_support {

using platform::Picture;
using platform::Ref;
using platform::Sound;

FakeMedia::FakeMedia(Size size) : m_size(size) {
    m_seconds = {{168, 7.0}, {169, 4.0}, {170, 30.0}, {171, 25.0}};
}

uint32_t FakeMedia::colour_of(int32_t id) {
    return 0xFF000000u | (static_cast<uint32_t>(id) << 16) |
           (static_cast<uint32_t>(id * 7) & 0xFFu) << 8 | static_cast<uint32_t>(255 - id);
}

std::pair<int, int> FakeMedia::size_of(int32_t id) const {
    if (id >= 168 && id <= 179)
        return m_size == Size::Small ? std::pair{40, 20} : std::pair{1170, 450};
    if (id >= 180 && id <= 182)
        return {25, 21};
    if (id == 183)
        return m_size == Size::Small ? std::pair{64, 64} : std::pair{2560, 1600};
    return {16, 16};
}

Ref<Picture> FakeMedia::GetPicture(int32_t id) {
    ++m_picture_requests[id];
    if (id < 168 || id > 185 || m_missing_pictures.count(id))
        return nullptr;
    auto [w, h] = size_of(id);
    return platform::make_ref<Picture>(platform::Image(w, h, colour_of(id)));
}

Ref<Sound> FakeMedia::GetSound(int32_t id) {
    ++m_sound_requests[id];
    if (id < 168 || id > 171 || m_missing_sounds.count(id))
        return nullptr;
    auto pcm = std::make_shared<platform::PcmSound>();
    pcm->rate = 1000;
    pcm->channels = 2;
    pcm->samples.assign(static_cast<size_t>(m_seconds[id] * pcm->rate) * 2, 0);
    return platform::make_ref<Sound>(pcm, "sound " + std::to_string(id));
}

int FakeMedia::picture_requests(int32_t id) const {
    auto it = m_picture_requests.find(id);
    return it == m_picture_requests.end() ? 0 : it->second;
}

int FakeMedia::sound_requests(int32_t id) const {
    auto it = m_sound_requests.find(id);
    return it == m_sound_requests.end() ? 0 : it->second;
}

} // namespace testing_support
