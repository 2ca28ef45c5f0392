#include "app/MediaLibrary.h"

#include "platform/Runtime.h"
#include "platform/base/NilObjectException.h"
#include "platform/resources/ResourceFork.h"

#include <array>

using platform::Picture;
using platform::Ref;
using platform::Sound;

namespace {

enum class Kind { Picture, Sound };

// One item: its kind, its id in the container, and its cache cell (_permapic for a picture,
// _snd for a sound).
struct MediaItem {
    const char* name;
    Kind kind;
    int32_t id;
    Ref<Picture> _permapic;
    Ref<Sound> _snd;
};

// In declaration order, which is also the order of release at shutdown.
std::array<MediaItem, 22> s_items{{
    {"walk", Kind::Sound, 168, {}, {}},       {"sky", Kind::Picture, 168, {}, {}},
    {"sky1", Kind::Picture, 169, {}, {}},     {"sky2", Kind::Picture, 170, {}, {}},
    {"sky3", Kind::Picture, 171, {}, {}},     {"sky4", Kind::Picture, 172, {}, {}},
    {"sky5", Kind::Picture, 173, {}, {}},     {"sky6", Kind::Picture, 174, {}, {}},
    {"sky7", Kind::Picture, 175, {}, {}},     {"sky8", Kind::Picture, 176, {}, {}},
    {"sky9", Kind::Picture, 177, {}, {}},     {"sky10", Kind::Picture, 178, {}, {}},
    {"sky11", Kind::Picture, 179, {}, {}},    {"splash", Kind::Sound, 169, {}, {}},
    {"surf", Kind::Sound, 170, {}, {}},       {"surf2", Kind::Sound, 171, {}, {}},
    {"speaker1", Kind::Picture, 180, {}, {}}, {"speaker2", Kind::Picture, 181, {}, {}},
    {"speaker3", Kind::Picture, 182, {}, {}}, {"bigsky", Kind::Picture, 183, {}, {}},
    {"star1", Kind::Picture, 184, {}, {}},    {"star1b", Kind::Picture, 185, {}, {}},
}};

enum Item {
    kWalk,
    kSky,
    kSky1,
    kSky2,
    kSky3,
    kSky4,
    kSky5,
    kSky6,
    kSky7,
    kSky8,
    kSky9,
    kSky10,
    kSky11,
    kSplash,
    kSurf,
    kSurf2,
    kSpeaker1,
    kSpeaker2,
    kSpeaker3,
    kBigsky,
    kStar1,
    kStar1b
};

Ref<platform::ResourceFork> container() {
    Ref<platform::ResourceFork> fork = platform::appResourceForkGetter();
    if (!fork)
        throw platform::NilObjectException("the application's resource container is unavailable");
    return fork;
}

// Once loaded, a nil test and a reference: the star timers fetch their pictures on every tick.
Ref<Picture> picture(Item i) {
    MediaItem& item = s_items[i];
    if (!item._permapic)
        item._permapic = container()->GetPicture(item.id);
    return item._permapic;
}

Ref<Sound> sound(Item i) {
    MediaItem& item = s_items[i];
    if (!item._snd)
        item._snd = container()->GetSound(item.id);
    return item._snd;
}

} // namespace

Ref<Sound> walk() {
    return sound(kWalk);
}
Ref<Picture> sky() {
    return picture(kSky);
}
Ref<Picture> sky1() {
    return picture(kSky1);
}
Ref<Picture> sky2() {
    return picture(kSky2);
}
Ref<Picture> sky3() {
    return picture(kSky3);
}
Ref<Picture> sky4() {
    return picture(kSky4);
}
Ref<Picture> sky5() {
    return picture(kSky5);
}
Ref<Picture> sky6() {
    return picture(kSky6);
}
Ref<Picture> sky7() {
    return picture(kSky7);
}
Ref<Picture> sky8() {
    return picture(kSky8);
}
Ref<Picture> sky9() {
    return picture(kSky9);
}
Ref<Picture> sky10() {
    return picture(kSky10);
}
Ref<Picture> sky11() {
    return picture(kSky11);
}
Ref<Sound> splash() {
    return sound(kSplash);
}
Ref<Sound> surf() {
    return sound(kSurf);
}
Ref<Sound> surf2() {
    return sound(kSurf2);
}
Ref<Picture> speaker1() {
    return picture(kSpeaker1);
}
Ref<Picture> speaker2() {
    return picture(kSpeaker2);
}
Ref<Picture> speaker3() {
    return picture(kSpeaker3);
}
Ref<Picture> bigsky() {
    return picture(kBigsky);
}
Ref<Picture> star1() {
    return picture(kStar1);
}
Ref<Picture> star1b() {
    return picture(kStar1b);
}

namespace MediaLibrary {

void ReleaseAll() {
    for (MediaItem& item : s_items) {
        if (platform::Runtime::exists())
            platform::Runtime::current().note(std::string("release ") + item.name);
        item._permapic = nullptr;
        item._snd = nullptr;
    }
}

} // namespace MediaLibrary
