#pragma once

#include "platform/resources/ResourceFork.h"

#include <map>
#include <set>
#include <utility>

namespace testing_support {

// An in-memory resource container with every picture and sound the program uses: pictures of
// their real sizes in a distinct solid colour per id, sounds of silence with set durations. A
// test can take items away and count how often each was asked for.
class FakeMedia : public platform::ResourceFork {
public:
    // Small pictures keep long runs cheap: every frame drawn is a few pixels.
    enum class Size { Real, Small };
    explicit FakeMedia(Size size = Size::Real);

    platform::Ref<platform::Picture> GetPicture(int32_t id) override;
    platform::Ref<platform::Sound> GetSound(int32_t id) override;

    void remove_picture(int32_t id) { m_missing_pictures.insert(id); }
    void remove_sound(int32_t id) { m_missing_sounds.insert(id); }
    void restore_picture(int32_t id) { m_missing_pictures.erase(id); }
    int picture_requests(int32_t id) const;
    int sound_requests(int32_t id) const;
    void set_sound_seconds(int32_t id, double seconds) { m_seconds[id] = seconds; }

    // The colour every pixel of picture id has.
    static uint32_t colour_of(int32_t id);
    std::pair<int, int> size_of(int32_t id) const;

private:
    Size m_size;
    std::set<int32_t> m_missing_pictures;
    std::set<int32_t> m_missing_sounds;
    std::map<int32_t, int> m_picture_requests;
    std::map<int32_t, int> m_sound_requests;
    std::map<int32_t, double> m_seconds;
};

} // namespace testing_support
