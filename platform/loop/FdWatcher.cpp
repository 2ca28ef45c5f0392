#include "platform/loop/FdWatcher.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace platform {

FdWatcher::FdWatcher(std::function<void(int fd)> ready) : m_ready(std::move(ready)) {
}

FdWatcher::~FdWatcher() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.wake();
    if (m_thread.joinable())
        m_thread.join();
}

void FdWatcher::watch(int fd, short events) {
    {
        std::lock_guard lock(m_mutex);
        auto it = std::find_if(m_watches.begin(), m_watches.end(),
                               [fd](const Watch& w) { return w.fd == fd; });
        if (it != m_watches.end())
            it->events = events;
        else if (events)
            m_watches.push_back({fd, events});
        // The thread starts with the first watch: most runs never need it.
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_changed.wake();
}

void FdWatcher::run() {
    std::vector<pollfd> fds;
    for (;;) {
        fds.assign(1, {m_changed.fd(), POLLIN, 0});
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;
            std::erase_if(m_watches, [](const Watch& w) { return w.events == 0; });
            for (const Watch& w : m_watches)
                fds.push_back({w.fd, w.events, 0});
        }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        m_changed.take();
        for (size_t i = 1; i < fds.size(); ++i) {
            if (!fds[i].revents)
                continue;
            // Reported only if still wanted: the watch may have been taken back while polling.
            bool wanted = false;
            {
                std::lock_guard lock(m_mutex);
                for (Watch& w : m_watches)
                    if (w.fd == fds[i].fd && w.events) {
                        w.events = 0;
                        wanted = true;
                    }
            }
            if (wanted)
                m_ready(fds[i].fd);
        }
    }
}

} // namespace platform
