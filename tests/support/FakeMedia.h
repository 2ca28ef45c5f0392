#pragma once

#include "common/MediaItems.h"
#include "platform/resources/ResourceFork.h"

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string_view>
#include <utility>

namespace testing_support {

// An in-memory resource container with every picture and sound the program uses: pictures of
// their real sizes in a distinct solid colour per item, sounds of silence with set durations,
// labelled with their names. A test can take items away and count how often each was asked for.
class FakeMedia : public platform::ResourceFork {
public:
    // Small pictures keep long runs cheap: every frame drawn is a few pixels.
    enum class Size { Real, Small };
    explicit FakeMedia(Size size = Size::Real);

    platform::Ref<platform::Picture> GetPicture(int32_t id) override;
    platform::Ref<platform::Sound> GetSound(int32_t id) override;

    // Called with an item's name when an object handed out from now on is destroyed.
    void on_release(std::function<void(std::string_view)> observer) {
        m_on_release = std::move(observer);
    }

    // Items by their names in the program's media table.
    void remove(std::string_view name) { m_missing.insert(name); }
    void restore(std::string_view name) { m_missing.erase(name); }
    int requests(std::string_view name) const;
    void set_seconds(std::string_view sound, double seconds) { m_seconds[sound] = seconds; }

    // Writes every item into a media folder as PNG and WAV files, each picture of its size and
    // in its colour, each sound three seconds of silence.
    void write_folder(const std::filesystem::path& dir) const;
    // Where a media folder keeps an item.
    static std::filesystem::path file_of(const std::filesystem::path& dir,
                                         const media_items::Item& item);

    // The colour every pixel of the picture has, and of its large set, drawn at scales above 1.
    static uint32_t colour_of(std::string_view picture);
    static uint32_t large_colour_of(std::string_view picture);
    std::pair<int, int> size_of(std::string_view picture) const;

private:
    // The item asked for, counted; null when the table has none or it was taken away.
    const media_items::Item* take(media_items::Kind kind, int32_t id);
    // What an item handed out now calls when it is destroyed.
    std::function<void()> released(std::string_view name) const;

    Size m_size;
    std::set<std::string_view> m_missing;
    std::map<std::string_view, int> m_requests;
    std::map<std::string_view, double> m_seconds;
    std::function<void(std::string_view)> m_on_release;
};

} // namespace testing_support
