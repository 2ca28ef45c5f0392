#pragma once

#include "platform/loop/Wakeup.h"

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

// Waits on file descriptors for a loop that cannot wait on them itself (SDL's waits only on its
// own display). A thread of its own polls them and reports each one that becomes ready, then
// leaves it alone until it is watched again: the loop's owner services it on its own thread in
// between, so the two never read the same descriptor at once and a descriptor that stays
// readable is reported once, not over and over.
class FdWatcher {
public:
    // ready is called on the watcher's thread with the descriptor that became ready.
    explicit FdWatcher(std::function<void(int fd)> ready);
    ~FdWatcher();
    FdWatcher(const FdWatcher&) = delete;
    FdWatcher& operator=(const FdWatcher&) = delete;

    // Waits for events (poll's POLLIN, POLLOUT) on fd from now on, until reported; events 0
    // stops watching it.
    void watch(int fd, short events);

private:
    void run();

    std::function<void(int)> m_ready;
    Wakeup m_changed;
    std::mutex m_mutex;
    struct Watch {
        int fd;
        short events;
    };
    std::vector<Watch> m_watches; // guarded by m_mutex
    bool m_stopping = false;      // guarded by m_mutex
    std::thread m_thread;
};

} // namespace platform
