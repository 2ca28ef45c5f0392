// The scene runs for hours: once every picture is loaded and every buffer has grown to its
// working size, a tick must not touch the heap. This executable replaces the global allocation
// functions to count what the running scene asks for; it is separate from the other tests so
// that the replacement counts nothing of theirs.
#include "scene/Window1.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

bool g_counting = false;
long g_allocations = 0;

void* allocate(std::size_t size) {
    if (g_counting)
        ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* allocate_aligned(std::size_t size, std::align_val_t align) {
    if (g_counting)
        ++g_allocations;
    auto a = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}

} // namespace

// The array and sized forms of the standard library call these.
void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, std::align_val_t align) {
    return allocate_aligned(size, align);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}

using testing_support::TestProgram;

namespace {

// Allocations while the program runs for ms of virtual time.
long allocations_during(TestProgram& program, double ms) {
    g_allocations = 0;
    g_counting = true;
    program.advance(ms);
    g_counting = false;
    return g_allocations;
}

} // namespace

TEST(TickAllocation, TheRunningSceneAllocatesNothing) {
    struct Case {
        int width, height;
        bool pointer_in_strip; // the labels and the speaker then repaint with every dome tick
    };
    for (Case c : {Case{1920, 1080, false}, Case{3840, 2160, false}, Case{1920, 1080, true}}) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height
                                        << (c.pointer_in_strip ? " pointer in the strip" : ""));
        TestProgram::Options o;
        o.width = c.width;
        o.height = c.height;
        TestProgram program(o);
        if (c.pointer_in_strip)
            program.move(300, 10);
        // Warm-up: every timer has fired, both star branches have run, buffers have grown.
        program.advance(5000);
        long presents = program.backend().present_count();
        // 400 dome ticks and dozens of star ticks.
        EXPECT_EQ(allocations_during(program, 30000), 0);
        EXPECT_GE(program.backend().present_count() - presents, 400);
        EXPECT_EQ(program.failure_count(), 0);
    }
}
