#pragma once

#include <csignal>

namespace platform {

// SIGINT and SIGTERM as a file descriptor that becomes readable, so that the event loop sleeps
// on the display and the signals together and a signal ends the program through its ordered
// shutdown. A handler writes to a pipe rather than a signalfd taking the signals, as a signalfd
// needs them blocked in every thread, and threads started before the backend would not be.
class SignalPipe {
public:
    SignalPipe();
    // Gives the signals back to what had them, unless they have been handed on since.
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    int fd() const { return m_read; }
    // Empties the pipe; true if a signal had arrived.
    bool take();

private:
    int m_read = -1;
    struct sigaction m_previous[2] = {};
};

} // namespace platform
