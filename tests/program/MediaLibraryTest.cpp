#include "common/MediaLibrary.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

using platform::make_ref;
using platform::Ref;
using testing_support::FakeMedia;
using testing_support::TestProgram;

TEST(MediaLibrary, EveryCallHandsOutTheSameObjectLoadedOnce) {
    auto media = make_ref<FakeMedia>();
    TestProgram program(TestProgram::Options::runtime_only(), media);
    Ref<platform::Picture> first = star1b();
    EXPECT_EQ(first, star1b());
    EXPECT_EQ(media->requests("star1b"), 1);
    EXPECT_EQ(surf(), surf());
    EXPECT_EQ(media->requests("surf"), 1);
    // sky and walk share the id 168 in two separate spaces.
    EXPECT_TRUE(sky());
    EXPECT_TRUE(walk());
    EXPECT_EQ(media->requests("sky"), 1);
    EXPECT_EQ(media->requests("walk"), 1);
    EXPECT_EQ(sky()->Width(), 1170);
}

TEST(MediaLibrary, AMissingItemIsNilAndAskedForAgainUntilItAppears) {
    auto media = make_ref<FakeMedia>();
    media->remove("star1");
    TestProgram program(TestProgram::Options::runtime_only(), media);
    EXPECT_FALSE(star1());
    EXPECT_FALSE(star1());
    EXPECT_EQ(media->requests("star1"), 2);
    media->restore("star1");
    Ref<platform::Picture> found = star1();
    EXPECT_TRUE(found);
    EXPECT_EQ(star1(), found);
    EXPECT_EQ(media->requests("star1"), 3);
}

TEST(MediaLibrary, AnUnavailableContainerIsANilObjectFailureAndCachesNothing) {
    TestProgram program(TestProgram::Options::runtime_only(), nullptr);
    EXPECT_THROW(bigsky(), platform::NilObjectException);
    EXPECT_THROW(surf(), platform::NilObjectException);
    auto media = make_ref<FakeMedia>();
    program.runtime().set_resource_fork(media);
    EXPECT_TRUE(bigsky());
    EXPECT_EQ(media->requests("bigsky"), 1);
}

// A sound the container cannot give is a silent one, asked for once and then kept like any other
// (the moon reads the beach's state from it): looped, it plays until stopped; played once, it is
// over at once.
TEST(MediaLibrary, AMissingSoundIsASilentOneKeptForTheRun) {
    auto media = make_ref<FakeMedia>();
    media->remove("surf");
    TestProgram program(TestProgram::Options::runtime_only(), media);
    Ref<platform::Sound> silent = surf();
    ASSERT_TRUE(silent);
    media->restore("surf");
    EXPECT_EQ(surf(), silent);
    EXPECT_EQ(media->requests("surf"), 1);
    EXPECT_FALSE(MediaLibrary::IsPlaying("surf"));
    silent->PlayLooping();
    program.advance(600000);
    EXPECT_TRUE(silent->IsPlaying());
    EXPECT_TRUE(MediaLibrary::IsPlaying("surf"));
    silent->Stop();
    EXPECT_FALSE(silent->IsPlaying());
    silent->Play();
    EXPECT_FALSE(silent->IsPlaying());
}
