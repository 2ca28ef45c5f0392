#include "platform/wayland/SignalPipe.h"

#include "platform/base/BackendError.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace platform {

namespace {

constexpr int kSignals[2] = {SIGINT, SIGTERM};
// The handler's only way to the pipe; one pipe per process.
int g_write = -1;

void on_signal(int) {
    int saved = errno;
    char byte = 1;
    // A full pipe already says that a signal came.
    [[maybe_unused]] ssize_t written = write(g_write, &byte, 1);
    errno = saved;
}

} // namespace

SignalPipe::SignalPipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw BackendError(std::string("cannot watch for signals: ") + std::strerror(errno));
    m_read = fds[0];
    g_write = fds[1];
    struct sigaction action {};
    action.sa_handler = on_signal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 2; ++i)
        sigaction(kSignals[i], &action, &m_previous[i]);
}

SignalPipe::~SignalPipe() {
    for (int i = 0; i < 2; ++i) {
        struct sigaction current {};
        sigaction(kSignals[i], nullptr, &current);
        if (current.sa_handler == on_signal)
            sigaction(kSignals[i], &m_previous[i], nullptr);
    }
    close(m_read);
    close(g_write);
    g_write = -1;
}

bool SignalPipe::take() {
    char bytes[16];
    bool any = false;
    while (read(m_read, bytes, sizeof bytes) > 0)
        any = true;
    return any;
}

} // namespace platform
