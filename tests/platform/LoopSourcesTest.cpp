#include "platform/loop/FdWatcher.h"
#include "tests/support/TestProgram.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <stdexcept>

using platform::FdWatcher;
using platform::InputEvent;
using testing_support::TestProgram;
using namespace std::chrono_literals;

namespace {

// The reports a watcher made, waited for as a loop's thread would.
class Reports {
public:
    void add(int fd) {
        std::lock_guard lock(m_mutex);
        m_fds.push_back(fd);
        m_changed.notify_all();
    }
    // Waits up to patience for the count to reach n; the count then.
    size_t wait_for(size_t n, std::chrono::milliseconds patience) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, patience, [&] { return m_fds.size() >= n; });
        return m_fds.size();
    }
    std::vector<int> fds() {
        std::lock_guard lock(m_mutex);
        return m_fds;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_fds;
};

// The process's threads, as the kernel lists them.
long thread_count() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                         std::filesystem::directory_iterator());
}

struct Pipe {
    int r = -1, w = -1;
    Pipe() {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        r = fds[0];
        w = fds[1];
    }
    ~Pipe() {
        close(r);
        close(w);
    }
};

} // namespace

TEST(FdWatcherTest, AReadyDescriptorIsReportedOnceUntilWatchedAgain) {
    Reports reports;
    Pipe a, b;
    {
        FdWatcher watcher([&](int fd) { reports.add(fd); });
        watcher.watch(a.r, POLLIN);
        watcher.watch(b.r, POLLIN);
        ASSERT_EQ(write(a.w, "x", 1), 1);
        EXPECT_EQ(reports.wait_for(1, 2s), 1u);
        // Still readable, but left alone until its owner has serviced it.
        EXPECT_EQ(reports.wait_for(2, 100ms), 1u);
        watcher.watch(a.r, POLLIN);
        EXPECT_EQ(reports.wait_for(2, 2s), 2u);
        // A watch taken back is not reported.
        watcher.watch(b.r, 0);
        ASSERT_EQ(write(b.w, "y", 1), 1);
        EXPECT_EQ(reports.wait_for(3, 100ms), 2u);
        watcher.watch(b.r, POLLIN);
        EXPECT_EQ(reports.wait_for(3, 2s), 3u);
    }
    EXPECT_EQ(reports.fds(), (std::vector<int>{a.r, a.r, b.r}));
}

TEST(FdWatcherTest, StartsItsThreadOnlyWithTheFirstWatchAndEndsIt) {
    Reports reports;
    Pipe pipe;
    const long before = thread_count();
    {
        FdWatcher watcher([&](int fd) { reports.add(fd); });
        EXPECT_EQ(thread_count(), before);
        watcher.watch(pipe.r, POLLIN);
        EXPECT_EQ(thread_count(), before + 1);
    }
    EXPECT_EQ(thread_count(), before);
    EXPECT_TRUE(reports.fds().empty());
}

TEST(LoopSources, AReadySourceRunsOnTheLoopAndSaysWhatToWaitForNext) {
    TestProgram program(TestProgram::Options::runtime_only());
    platform::EventLoop& loop = program.runtime().loop();
    const auto& watched = program.backend().watched();
    int runs = 0;
    short next = POLLIN | POLLOUT;
    loop.watch("the bus", 7, POLLIN, [&] {
        ++runs;
        return next;
    });
    EXPECT_EQ(watched.at(7), POLLIN);
    program.deliver(InputEvent(InputEvent::Type::SourceReady, 7));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(watched.at(7), POLLIN | POLLOUT);
    // Unknown descriptors are no one's.
    program.deliver(InputEvent(InputEvent::Type::SourceReady, 8));
    EXPECT_EQ(runs, 1);
    next = 0;
    program.deliver(InputEvent(InputEvent::Type::SourceReady, 7));
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(watched.contains(7));
    program.deliver(InputEvent(InputEvent::Type::SourceReady, 7));
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(program.failure_count(), 0);
}

TEST(LoopSources, AFailingSourceIsReportedByNameAndWatchedNoMore) {
    TestProgram program(TestProgram::Options::runtime_only());
    platform::EventLoop& loop = program.runtime().loop();
    loop.watch("the bus", 5, POLLIN, []() -> short { throw std::runtime_error("garbled"); });
    // One that lets go of itself while it runs stays let go.
    loop.watch("a later start", 6, POLLIN, [&]() -> short {
        loop.unwatch(6);
        return POLLIN;
    });
    program.deliver(InputEvent(InputEvent::Type::SourceReady, 5));
    program.deliver(InputEvent(InputEvent::Type::SourceReady, 6));
    EXPECT_TRUE(program.backend().watched().empty());
    EXPECT_EQ(program.failure_count(), 1);
    EXPECT_NE(program.reports().find("the bus"), std::string::npos) << program.reports();
    EXPECT_NE(program.reports().find("garbled"), std::string::npos);
}
