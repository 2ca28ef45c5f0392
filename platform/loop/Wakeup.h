#pragma once

namespace platform {

// A file descriptor that another thread makes readable, so that the event loop, asleep on the
// display, wakes for news from that thread (the output volume changed elsewhere).
class Wakeup {
public:
    Wakeup();
    ~Wakeup();
    Wakeup(const Wakeup&) = delete;
    Wakeup& operator=(const Wakeup&) = delete;

    int fd() const { return m_fd; }
    // From any thread.
    void wake();
    // Empties it; true if it was woken since.
    bool take();

private:
    int m_fd = -1;
};

} // namespace platform
