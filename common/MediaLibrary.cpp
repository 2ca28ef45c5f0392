#include "common/MediaLibrary.h"

#include "common/MediaItems.h"
#include "platform/Runtime.h"
#include "platform/base/NilObjectException.h"
#include "platform/resources/ResourceFork.h"

#include <memory>
#include <string>

using media_items::index_of;
using media_items::Kind;
using media_items::kItems;
using platform::Picture;
using platform::Ref;
using platform::Sound;

namespace {

// Each item's cache cell, by its place in the table: _permapic for a picture, _snd for a sound.
std::array<Ref<Picture>, kItems.size()> _permapic;
std::array<Ref<Sound>, kItems.size()> _snd;

Ref<platform::ResourceFork> container() {
    Ref<platform::ResourceFork> fork = platform::appResourceForkGetter();
    if (!fork)
        throw platform::NilObjectException("the application's resource container is unavailable");
    return fork;
}

// Once loaded, a nil test and a reference: the star timers fetch their pictures on every tick.
template <size_t I>
Ref<Picture> picture() {
    static_assert(kItems[I].kind == Kind::Picture);
    if (!_permapic[I])
        _permapic[I] = container()->GetPicture(kItems[I].id);
    return _permapic[I];
}

// A sound the container cannot give costs only itself: a silent one takes its place for the rest
// of the run, so that the others play and keep their timing, and whether it plays (the beach's
// state, for surf) still has an answer. The container has said why, naming the file.
template <size_t I>
Ref<Sound> sound() {
    static_assert(kItems[I].kind == Kind::Sound);
    if (!_snd[I]) {
        _snd[I] = container()->GetSound(kItems[I].id);
        if (!_snd[I])
            _snd[I] = platform::make_ref<Sound>(std::make_shared<const platform::PcmSound>(),
                                                std::string(kItems[I].name));
    }
    return _snd[I];
}

} // namespace

Ref<Sound> walk() {
    return sound<index_of("walk")>();
}
Ref<Picture> sky() {
    return picture<index_of("sky")>();
}
Ref<Picture> sky1() {
    return picture<index_of("sky1")>();
}
Ref<Picture> sky2() {
    return picture<index_of("sky2")>();
}
Ref<Picture> sky3() {
    return picture<index_of("sky3")>();
}
Ref<Picture> sky4() {
    return picture<index_of("sky4")>();
}
Ref<Picture> sky5() {
    return picture<index_of("sky5")>();
}
Ref<Picture> sky6() {
    return picture<index_of("sky6")>();
}
Ref<Picture> sky7() {
    return picture<index_of("sky7")>();
}
Ref<Picture> sky8() {
    return picture<index_of("sky8")>();
}
Ref<Picture> sky9() {
    return picture<index_of("sky9")>();
}
Ref<Picture> sky10() {
    return picture<index_of("sky10")>();
}
Ref<Picture> sky11() {
    return picture<index_of("sky11")>();
}
Ref<Sound> splash() {
    return sound<index_of("splash")>();
}
Ref<Sound> surf() {
    return sound<index_of("surf")>();
}
Ref<Sound> surf2() {
    return sound<index_of("surf2")>();
}
Ref<Picture> speaker1() {
    return picture<index_of("speaker1")>();
}
Ref<Picture> speaker2() {
    return picture<index_of("speaker2")>();
}
Ref<Picture> speaker3() {
    return picture<index_of("speaker3")>();
}
Ref<Picture> bigsky() {
    return picture<index_of("bigsky")>();
}
Ref<Picture> star1() {
    return picture<index_of("star1")>();
}
Ref<Picture> star1b() {
    return picture<index_of("star1b")>();
}
Ref<Picture> sleep1() {
    return picture<index_of("sleep1")>();
}
Ref<Picture> sleep2() {
    return picture<index_of("sleep2")>();
}

namespace MediaLibrary {

void ReleaseAll() {
    for (size_t i = 0; i < kItems.size(); ++i) {
        _permapic[i] = nullptr;
        _snd[i] = nullptr;
    }
}

bool IsPlaying(std::string_view name) {
    const Ref<Sound>& sound = _snd[index_of(name)];
    return sound && sound->IsPlaying();
}

} // namespace MediaLibrary
