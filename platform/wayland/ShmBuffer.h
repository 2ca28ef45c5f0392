#pragma once

#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"

#include <cstddef>

struct wl_buffer;
struct wl_event_queue;
struct wl_shm;

namespace platform {

// One picture of the whole screen in memory shared with the compositor, 32-bit XRGB. The
// compositor holds it from the commit that shows it until it releases it, and may read it at
// any moment meanwhile: it is drawn into only while it is free.
class ShmBuffer {
public:
    // Its release is dispatched on queue. Raises BackendError when the memory cannot be had.
    ShmBuffer(wl_shm* shm, wl_event_queue* queue, int width, int height);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    Surface surface() const;
    wl_buffer* buffer() const { return m_buffer; }

    bool is_busy() const { return m_busy; }
    // Committed: the compositor holds it until its release arrives.
    void mark_busy() { m_busy = true; }
    // The compositor's release: free to draw into again.
    void release() { m_busy = false; }

    // Where the newest picture, drawn in another buffer, differs from this one.
    Region& stale() { return m_stale; }

private:
    int m_width;
    int m_height;
    size_t m_size;
    void* m_pixels = nullptr;
    wl_buffer* m_buffer = nullptr;
    bool m_busy = false;
    Region m_stale;
};

} // namespace platform
