#include "tests/support/FakeMedia.h"

#include "platform/graphics/PictureSource.h"
#include "platform/sound/PcmSound.h"
#include "tests/support/MediaBytes.h"

#include <algorithm>

namespace testing_support {

using media_items::Kind;
using platform::Picture;
using platform::Ref;
using platform::Sound;

namespace {

// A picture or sound that tells when it is destroyed.
template <class Item>
class Observed : public Item {
public:
    template <class... Args>
    explicit Observed(std::function<void()> released, Args&&... args)
        : Item(std::forward<Args>(args)...), m_released(std::move(released)) {}
    ~Observed() override {
        if (m_released)
            m_released();
    }

private:
    std::function<void()> m_released;
};

// A picture in its colour at scale 1 and in its large set's colour at any larger scale, each a
// solid block of the device size.
class TwoSets : public platform::PictureSource {
public:
    TwoSets(int width, int height, uint32_t colour, uint32_t large)
        : m_width(width), m_height(height), m_colour(colour), m_large(large) {}

    std::optional<platform::Image> decode(int width, int height, platform::Scale scale,
                                          std::string&) const override {
        width = std::min(width, m_width);
        height = std::min(height, m_height);
        return platform::Image(scale.to_device_size(width), scale.to_device_size(height),
                               scale.picture_set() == 1 ? m_colour : m_large);
    }

private:
    int m_width, m_height;
    uint32_t m_colour, m_large;
};

} // namespace

FakeMedia::FakeMedia(Size size) : m_size(size) {
    m_seconds = {{"walk", 7.0}, {"splash", 4.0}, {"surf", 30.0}, {"surf2", 25.0}};
}

uint32_t FakeMedia::colour_of(std::string_view picture) {
    auto id = static_cast<uint32_t>(media_items::item(picture).id);
    return 0xFF000000u | (id << 16) | (id * 7 & 0xFFu) << 8 | (255 - id);
}

uint32_t FakeMedia::large_colour_of(std::string_view picture) {
    return colour_of(picture) ^ 0x00404040u;
}

std::pair<int, int> FakeMedia::size_of(std::string_view picture) const {
    bool small = m_size == Size::Small;
    if (picture == "bigsky")
        return small ? std::pair{64, 64} : std::pair{2560, 1600};
    if (picture.starts_with("speaker") || picture.starts_with("sleep"))
        return {25, 21};
    if (picture.starts_with("star"))
        return {16, 16};
    return small ? std::pair{40, 20} : std::pair{1170, 450};
}

const media_items::Item* FakeMedia::take(Kind kind, int32_t id) {
    const media_items::Item* item = media_items::find(kind, id);
    if (!item)
        return nullptr;
    ++m_requests[item->name];
    return m_missing.count(item->name) ? nullptr : item;
}

Ref<Picture> FakeMedia::GetPicture(int32_t id) {
    const media_items::Item* item = take(Kind::Picture, id);
    if (!item)
        return nullptr;
    auto [w, h] = size_of(item->name);
    const uint32_t colour = colour_of(item->name);
    return platform::make_ref<Observed<Picture>>(
        released(item->name), platform::Image(w, h, colour), platform::Scale{}, w, h, w, h,
        std::make_shared<TwoSets>(w, h, colour, large_colour_of(item->name)));
}

Ref<Sound> FakeMedia::GetSound(int32_t id) {
    const media_items::Item* item = take(Kind::Sound, id);
    if (!item)
        return nullptr;
    auto pcm = std::make_shared<platform::PcmSound>();
    pcm->rate = 1000;
    pcm->channels = 2;
    pcm->samples.assign(static_cast<size_t>(m_seconds[item->name] * pcm->rate) * 2, 0);
    return platform::make_ref<Observed<Sound>>(released(item->name), pcm, std::string(item->name));
}

std::function<void()> FakeMedia::released(std::string_view name) const {
    if (!m_on_release)
        return nullptr;
    return [observer = m_on_release, name] {
        observer(name);
    };
}

int FakeMedia::requests(std::string_view name) const {
    auto it = m_requests.find(name);
    return it == m_requests.end() ? 0 : it->second;
}

std::filesystem::path FakeMedia::file_of(const std::filesystem::path& dir,
                                         const media_items::Item& item) {
    bool picture = item.kind == Kind::Picture;
    return dir / (picture ? "pictures" : "sounds") /
           (std::to_string(item.id) + (picture ? ".png" : ".wav"));
}

void FakeMedia::write_folder(const std::filesystem::path& dir) const {
    std::filesystem::create_directories(dir / "pictures");
    std::filesystem::create_directories(dir / "sounds");
    for (const media_items::Item& item : media_items::kItems) {
        if (item.kind == Kind::Sound) {
            write_file(file_of(dir, item),
                       wav_bytes(1, 2, 8000, 16, std::vector<uint8_t>(8000 * 4 * 3)));
            continue;
        }
        auto [w, h] = size_of(item.name);
        write_file(file_of(dir, item), png_bytes(w, h, colour_of(item.name)));
    }
}

} // namespace testing_support
