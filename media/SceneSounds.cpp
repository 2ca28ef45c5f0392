#include "SceneSounds.h"

#include "Footsteps.h"
#include "Mastering.h"
#include "SurfSynth.h"
#include "WaveVoice.h"

namespace media {

namespace {

// Loudest 3-second stretch of every sound, so that no cue startles.
constexpr double loudness_target = -18.0;

StereoBuffer mastered(StereoBuffer sound, Mastering::Looping looping) {
    Mastering(looping).finish(sound, loudness_target);
    return sound;
}

} // namespace

StereoBuffer SceneSounds::surf() {
    SurfCharacter character;
    character.intervals = {7.6, 9.7, 6.7, 8.8};
    character.typical.build = 2.2;
    character.typical.crash_attack = 1.1;
    character.typical.crash_decay = 1.6;
    character.typical.boom = 0.5;
    character.typical.wash = 0.7;
    character.typical.wash_length = 3.0;
    character.typical.fizz = 0.35;
    character.typical.fizz_length = 5.0;
    character.typical.spray = 40.0;
    character.typical.width = 0.65;
    character.bed_level = 0.2;
    character.bed_cutoff = 260.0;
    character.hiss_level = 0.1;
    character.hiss_cutoff = 2600.0;
    character.seed = 0x73757266;
    return mastered(SurfSynth(character).render(), Mastering::Looping::Yes);
}

StereoBuffer SceneSounds::surf2() {
    SurfCharacter character;
    character.intervals = {4.6, 3.9, 5.4, 4.2, 5.0, 3.7};
    character.typical.build = 1.2;
    character.typical.size = 0.7;
    character.typical.crash_attack = 0.6;
    character.typical.crash_decay = 0.8;
    character.typical.boom = 0.2;
    character.typical.wash = 0.9;
    character.typical.wash_length = 2.2;
    character.typical.fizz = 0.6;
    character.typical.fizz_length = 3.2;
    character.typical.brightness = 1.35;
    character.typical.width = 0.8;
    character.bed_level = 0.08;
    character.bed_cutoff = 600.0;
    character.hiss_level = 0.05;
    character.hiss_cutoff = 4500.0;
    character.seed = 0x73757232;
    return mastered(SurfSynth(character).render(), Mastering::Looping::Yes);
}

StereoBuffer SceneSounds::walk() {
    return mastered(Footsteps(8.0, 0.56, 0x77616c6b).render(), Mastering::Looping::No);
}

StereoBuffer SceneSounds::splash() {
    WaveShape shape;
    shape.build = 0.8;
    shape.crash_attack = 0.12;
    shape.crash_decay = 0.7;
    shape.boom = 0.8;
    shape.wash = 0.6;
    shape.wash_length = 1.5;
    shape.fizz = 0.3;
    shape.fizz_length = 2.8;
    shape.spray = 350.0;
    shape.brightness = 1.25;
    shape.pan_from = -0.2;
    shape.pan_to = 0.25;
    shape.width = 0.7;
    return mastered(WaveVoice(shape, 0x73706c61).render(), Mastering::Looping::No);
}

} // namespace media
