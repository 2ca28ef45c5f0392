#include "platform/loop/Wakeup.h"

#include "platform/base/BackendError.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

namespace platform {

Wakeup::Wakeup() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (m_fd < 0)
        throw BackendError(std::string("cannot make a wake-up: ") + std::strerror(errno));
}

Wakeup::~Wakeup() {
    close(m_fd);
}

void Wakeup::wake() {
    uint64_t one = 1;
    // A counter that cannot take more is readable already.
    [[maybe_unused]] ssize_t written = write(m_fd, &one, sizeof one);
}

bool Wakeup::take() {
    uint64_t count = 0;
    return read(m_fd, &count, sizeof count) == sizeof count && count > 0;
}

} // namespace platform
