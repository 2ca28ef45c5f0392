#include "platform/wayland/ShmBuffer.h"

#include "platform/base/BackendError.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace platform {

namespace {

const wl_buffer_listener kListener = {
    .release = [](void* data, wl_buffer*) { static_cast<ShmBuffer*>(data)->release(); },
};

} // namespace

ShmBuffer::ShmBuffer(wl_shm* shm, wl_event_queue* queue, int width, int height)
    : m_width(width), m_height(height), m_size(static_cast<size_t>(width) * height * 4),
      m_stale(Rect{0, 0, width, height}) {
    int fd = memfd_create("quorvane-screen", MFD_CLOEXEC);
    if (fd < 0)
        throw BackendError(std::string("no shared memory for the screen: ") + std::strerror(errno));
    if (ftruncate(fd, static_cast<off_t>(m_size)) != 0) {
        int error = errno;
        close(fd);
        throw BackendError(std::string("no shared memory for the screen: ") + std::strerror(error));
    }
    m_pixels = mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (m_pixels == MAP_FAILED) {
        int error = errno;
        close(fd);
        throw BackendError(std::string("cannot map the screen's memory: ") + std::strerror(error));
    }
    // The pool only lends the buffer its memory: the buffer keeps it alive on both sides.
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(m_size));
    m_buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(m_buffer), queue);
    wl_buffer_add_listener(m_buffer, &kListener, this);
}

ShmBuffer::~ShmBuffer() {
    wl_buffer_destroy(m_buffer);
    munmap(m_pixels, m_size);
}

Surface ShmBuffer::surface() const {
    return {static_cast<uint32_t*>(m_pixels), m_width, m_height, m_width};
}

} // namespace platform
