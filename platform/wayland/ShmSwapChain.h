#pragma once

#include "platform/Backend.h"
#include "platform/graphics/Region.h"
#include "platform/graphics/Surface.h"
#include "platform/wayland/ShmBuffer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct wl_callback;
struct wl_display;
struct wl_event_queue;
struct wl_shm;
struct wl_surface;

namespace platform {

// The window's pictures: the runtime draws straight into a shared-memory buffer the compositor
// does not hold, and each present damages and commits only the parts drawn. A commit waits for
// the compositor's frame callback, so nothing is sent that would not be shown: what is drawn
// meanwhile joins the next commit. When the buffer drawn into has been committed, drawing moves
// to a free one, which first takes over the parts it lacks from the newest picture; two buffers
// take turns, a third is made only when the compositor keeps both for more than a moment.
class ShmSwapChain {
public:
    ShmSwapChain(wl_display* display, wl_shm* shm, wl_surface* surface, int width, int height);
    ~ShmSwapChain();
    ShmSwapChain(const ShmSwapChain&) = delete;
    ShmSwapChain& operator=(const ShmSwapChain&) = delete;

    // The picture to draw into; valid until the next dispatch of the display's events.
    Surface screen();
    // The region has been drawn: shown at once, or with the next frame.
    void present(const Region& region);
    // New buffers of the new size, keeping the picture where it fits.
    void resize(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Handles the buffer releases that came, waiting up to timeout (forever without one) for
    // the display to have news; false when the connection failed.
    bool dispatch_releases(std::optional<Micros> timeout);
    // The compositor has shown the last commit.
    void frame_done();
    // Since when the compositor has been asked to show a commit it has not shown yet; nothing
    // while none waits.
    std::optional<Micros> frame_pending_since() const {
        return m_frame ? std::optional<Micros>(m_frame_since) : std::nullopt;
    }
    // How many commits the compositor has shown.
    uint64_t frames_shown() const { return m_frames_shown; }

private:
    void commit();
    void switch_buffer();
    ShmBuffer& free_buffer();

    wl_display* m_display;
    wl_shm* m_shm;
    wl_surface* m_surface;
    // Buffer releases come on a queue of their own, so that waiting for one runs no other
    // handler in the middle of drawing.
    wl_event_queue* m_queue;
    int m_width;
    int m_height;
    std::vector<std::unique_ptr<ShmBuffer>> m_buffers;
    // Holds the newest picture.
    ShmBuffer* m_current = nullptr;
    // Drawn into the current buffer since its last commit.
    Region m_uncommitted;
    wl_callback* m_frame = nullptr;
    Micros m_frame_since = 0; // on the steady clock, as the backend's
    uint64_t m_frames_shown = 0;
};

} // namespace platform
