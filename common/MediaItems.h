#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

// The program's pictures and sounds: each item's name, kind and id in the resource container.
// The media library, the start-up's early decoding, the generator that makes the files and the
// tests' stand-in container all read this one table.
namespace media_items {

enum class Kind { Picture, Sound };

struct Item {
    std::string_view name;
    Kind kind;
    // Pictures and sounds have separate id spaces: picture 168 is sky, sound 168 is walk.
    int32_t id;
};

// In declaration order, which is also the order of release at shutdown.
inline constexpr std::array<Item, 24> kItems{{
    {"walk", Kind::Sound, 168},       {"sky", Kind::Picture, 168},
    {"sky1", Kind::Picture, 169},     {"sky2", Kind::Picture, 170},
    {"sky3", Kind::Picture, 171},     {"sky4", Kind::Picture, 172},
    {"sky5", Kind::Picture, 173},     {"sky6", Kind::Picture, 174},
    {"sky7", Kind::Picture, 175},     {"sky8", Kind::Picture, 176},
    {"sky9", Kind::Picture, 177},     {"sky10", Kind::Picture, 178},
    {"sky11", Kind::Picture, 179},    {"splash", Kind::Sound, 169},
    {"surf", Kind::Sound, 170},       {"surf2", Kind::Sound, 171},
    {"speaker1", Kind::Picture, 180}, {"speaker2", Kind::Picture, 181},
    {"speaker3", Kind::Picture, 182}, {"bigsky", Kind::Picture, 183},
    {"star1", Kind::Picture, 184},    {"star1b", Kind::Picture, 185},
    {"sleep1", Kind::Picture, 186},   {"sleep2", Kind::Picture, 187},
}};

// The twelve dome frames, in the order they are drawn.
inline constexpr std::array<std::string_view, 12> kDomeFrames{"sky",  "sky1", "sky2",  "sky3",
                                                              "sky4", "sky5", "sky6",  "sky7",
                                                              "sky8", "sky9", "sky10", "sky11"};

// The place of the item of that name in kItems; in a constant expression an unknown name does
// not compile.
constexpr size_t index_of(std::string_view name) {
    for (size_t i = 0; i < kItems.size(); ++i)
        if (kItems[i].name == name)
            return i;
    throw std::out_of_range("no media item of that name");
}

constexpr const Item& item(std::string_view name) {
    return kItems[index_of(name)];
}

// The item of that kind and id, or null.
constexpr const Item* find(Kind kind, int32_t id) {
    for (const Item& i : kItems)
        if (i.kind == kind && i.id == id)
            return &i;
    return nullptr;
}

} // namespace media_items
