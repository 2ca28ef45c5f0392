#include "platform/base/Ref.h"
#include "platform/compat/Functions.h"
#include "platform/compat/MemoryBlock.h"
#include "platform/graphics/Region.h"

#include <gtest/gtest.h>

using platform::Rect;
using platform::Ref;
using platform::Region;

namespace {

struct Counted : platform::Object {
    int value = 7;
};

} // namespace

TEST(Ref, CountsSharesAndComparesByIdentity) {
    int64_t before = platform::Object::live_count();
    {
        Ref<Counted> a = platform::make_ref<Counted>();
        Ref<Counted> b = a;
        Ref<Counted> c = platform::make_ref<Counted>();
        EXPECT_EQ(a->ref_count(), 2);
        EXPECT_EQ(a, b);
        EXPECT_NE(a, c); // same contents, another object
        Ref<platform::Object> base = a;
        EXPECT_EQ(platform::ref_cast<Counted>(base), a);
        EXPECT_EQ(platform::Object::live_count() - before, 2);
    }
    EXPECT_EQ(platform::Object::live_count(), before);
}

TEST(Ref, UsingNilAsAnObjectIsANilObjectFailure) {
    Ref<Counted> nil;
    EXPECT_THROW((void)nil->value, platform::NilObjectException);
    EXPECT_THROW(platform::checked_cast<Counted>(Ref<platform::Object>()),
                 platform::NilObjectException);
    EXPECT_TRUE(nil == nullptr);
}

TEST(Region, KeepsRectanglesDisjointAndMergesNeighbours) {
    Region r;
    r.add({0, 0, 10, 10});
    r.add({5, 5, 10, 10});
    // Overlapping neighbours become their bounding box when that wastes little.
    EXPECT_EQ(r.rects(), (std::vector<Rect>{{0, 0, 15, 15}}));
    Region strip;
    strip.add({0, 0, 100, 25});
    strip.add({0, 500, 16, 16}); // far apart: stays two rectangles
    EXPECT_EQ(strip.rects().size(), 2u);
    Region window({0, 0, 100, 100});
    window.subtract({40, 40, 20, 20});
    EXPECT_EQ(window.area(), 10000 - 400);
    for (const Rect& a : window.rects()) {
        for (const Rect& b : window.rects()) {
            if (&a != &b) {
                EXPECT_FALSE(a.intersects(b));
            }
        }
    }
}

TEST(MemoryBlock, StoresAndLoadsInMachineOrderAndRefusesOutOfRange) {
    platform::MemoryBlock block(4);
    block.Short(0, 200);
    block.Short(2, 200);
    EXPECT_EQ(block.Long(0), 200 | (200 << 16));
    block.Byte(3, 0xFF);
    EXPECT_EQ(block.Byte(3), 0xFF);
    EXPECT_THROW(block.Long(1), std::out_of_range);
    EXPECT_THROW(block.Short(3, 1), std::out_of_range);
    EXPECT_THROW(block.Byte(static_cast<size_t>(-1)), std::out_of_range);
}

// Random.InRange reaching both ends is checked through the stars' periods.
TEST(Functions, RoundsHalvesAwayFromZeroAndClamps) {
    EXPECT_EQ(platform::Round(2.5), 3);
    EXPECT_EQ(platform::Round(-2.5), -3);
    EXPECT_EQ(platform::Round(1e12), INT32_MAX);
}
