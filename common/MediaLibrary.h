#pragma once

#include "platform/base/Ref.h"
#include "platform/graphics/Picture.h"
#include "platform/sound/Sound.h"

#include <string_view>

// The program's 24 pictures and sounds, each reached through an accessor of its own name. An
// item is loaded from the application's resource container on its first use and kept until
// shutdown, so every call hands out the very same object. A picture the container does not hold
// is nil, and is asked for again on the next call; a sound it does not hold is a silent one, kept
// like any other (it plays for no time, or loops until stopped). An unavailable container is a
// nil-object failure.
platform::Ref<platform::Sound> walk();
platform::Ref<platform::Picture> sky();
platform::Ref<platform::Picture> sky1();
platform::Ref<platform::Picture> sky2();
platform::Ref<platform::Picture> sky3();
platform::Ref<platform::Picture> sky4();
platform::Ref<platform::Picture> sky5();
platform::Ref<platform::Picture> sky6();
platform::Ref<platform::Picture> sky7();
platform::Ref<platform::Picture> sky8();
platform::Ref<platform::Picture> sky9();
platform::Ref<platform::Picture> sky10();
platform::Ref<platform::Picture> sky11();
platform::Ref<platform::Sound> splash();
platform::Ref<platform::Sound> surf();
platform::Ref<platform::Sound> surf2();
platform::Ref<platform::Picture> speaker1();
platform::Ref<platform::Picture> speaker2();
platform::Ref<platform::Picture> speaker3();
platform::Ref<platform::Picture> bigsky();
platform::Ref<platform::Picture> star1();
platform::Ref<platform::Picture> star1b();
// The sleep timer's picture: off, and lit while a timer runs.
platform::Ref<platform::Picture> sleep1();
platform::Ref<platform::Picture> sleep2();

namespace MediaLibrary {

// Releases every item's cell, in declaration order (shutdown only).
void ReleaseAll();

// Whether the named sound plays, without loading it: a sound never used is silent.
bool IsPlaying(std::string_view name);

} // namespace MediaLibrary
