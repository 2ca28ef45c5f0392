#include "platform/wayland/ShmSwapChain.h"

#include "platform/base/BackendError.h"

#include <poll.h>
#include <wayland-client.h>

#include <chrono>
#include <cstring>

namespace platform {

namespace {

// Two take turns; a third covers a compositor that keeps the one before until it repaints.
constexpr size_t kMaxBuffers = 3;
// A compositor releases the buffer a commit replaces as it takes the commit, a fraction of a
// millisecond after it is sent; waiting that long for it beats a third screen's memory.
constexpr Micros kReleaseWait = 4000;

const wl_callback_listener kFrameListener = {
    .done = [](void* data, wl_callback*,
               uint32_t) { static_cast<ShmSwapChain*>(data)->frame_done(); },
};

Micros steady_micros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void copy(const Surface& from, const Surface& to, const Rect& area) {
    Rect r = area.intersected(from.bounds()).intersected(to.bounds());
    for (int y = r.y; y < r.bottom(); ++y)
        std::memcpy(to.row(y) + r.x, from.row(y) + r.x, static_cast<size_t>(r.w) * 4);
}

} // namespace

ShmSwapChain::ShmSwapChain(wl_display* display, wl_shm* shm, wl_surface* surface, int width,
                           int height)
    : m_display(display), m_shm(shm), m_surface(surface), m_queue(wl_display_create_queue(display)),
      m_width(width), m_height(height) {
    m_buffers.push_back(std::make_unique<ShmBuffer>(m_shm, m_queue, width, height));
    m_current = m_buffers.back().get();
    // A new buffer's memory is black, and so is the screen until the runtime paints it.
    m_current->stale().clear();
}

ShmSwapChain::~ShmSwapChain() {
    if (m_frame)
        wl_callback_destroy(m_frame);
    m_buffers.clear();
    wl_event_queue_destroy(m_queue);
}

Surface ShmSwapChain::screen() {
    if (m_current->is_busy())
        switch_buffer();
    return m_current->surface();
}

void ShmSwapChain::present(const Region& region) {
    for (const Rect& r : region.rects()) {
        m_uncommitted.add(r);
        for (const std::unique_ptr<ShmBuffer>& b : m_buffers)
            if (b.get() != m_current)
                b->stale().add(r);
    }
    if (!m_frame)
        commit();
}

void ShmSwapChain::commit() {
    if (m_uncommitted.is_empty())
        return;
    wl_surface_attach(m_surface, m_current->buffer(), 0, 0);
    for (const Rect& r : m_uncommitted.rects())
        wl_surface_damage_buffer(m_surface, r.x, r.y, r.w, r.h);
    m_frame = wl_surface_frame(m_surface);
    m_frame_since = steady_micros();
    wl_callback_add_listener(m_frame, &kFrameListener, this);
    wl_surface_commit(m_surface);
    // Sent now, not at the loop's next wait: the buffer it replaces comes back the sooner. A
    // full socket sends it then; a broken one is noticed there.
    wl_display_flush(m_display);
    m_current->mark_busy();
    m_uncommitted.clear();
}

void ShmSwapChain::frame_done() {
    wl_callback_destroy(m_frame);
    m_frame = nullptr;
    ++m_frames_shown;
    commit();
}

void ShmSwapChain::switch_buffer() {
    ShmBuffer& next = free_buffer();
    if (&next == m_current)
        return;
    Surface from = m_current->surface();
    Surface to = next.surface();
    for (const Rect& r : next.stale().rects())
        copy(from, to, r);
    next.stale().clear();
    m_current = &next;
}

ShmBuffer& ShmSwapChain::free_buffer() {
    auto find_free = [this]() -> ShmBuffer* {
        for (const std::unique_ptr<ShmBuffer>& b : m_buffers)
            if (b.get() != m_current && !b->is_busy())
                return b.get();
        return nullptr;
    };
    if (ShmBuffer* b = find_free())
        return *b;
    if (m_buffers.size() > 1) {
        Micros end = steady_micros() + kReleaseWait;
        for (Micros left = kReleaseWait; left >= 0; left = end - steady_micros()) {
            if (!dispatch_releases(left))
                return *m_current; // the compositor is gone and reads none of them any more
            if (ShmBuffer* b = find_free())
                return *b;
        }
    }
    if (m_buffers.size() < kMaxBuffers) {
        try {
            m_buffers.push_back(std::make_unique<ShmBuffer>(m_shm, m_queue, m_width, m_height));
            return *m_buffers.back();
        } catch (const BackendError&) {
            // Without the memory for a third, one of two comes back in the end.
            if (m_buffers.size() < 2)
                throw;
        }
    }
    // Every buffer held, which a compositor that releases what it has shown never does.
    for (;;) {
        if (!dispatch_releases(std::nullopt))
            return *m_current;
        if (ShmBuffer* b = find_free())
            return *b;
    }
}

bool ShmSwapChain::dispatch_releases(std::optional<Micros> timeout) {
    if (wl_display_prepare_read_queue(m_display, m_queue) == 0) {
        pollfd fd{wl_display_get_fd(m_display), POLLIN, 0};
        timespec wait{};
        if (timeout) {
            wait.tv_sec = *timeout / 1'000'000;
            wait.tv_nsec = (*timeout % 1'000'000) * 1000;
        }
        if (ppoll(&fd, 1, timeout ? &wait : nullptr, nullptr) > 0) {
            if (wl_display_read_events(m_display) < 0)
                return false;
        } else {
            wl_display_cancel_read(m_display);
        }
    }
    return wl_display_dispatch_queue_pending(m_display, m_queue) >= 0;
}

void ShmSwapChain::resize(int width, int height) {
    auto fresh = std::make_unique<ShmBuffer>(m_shm, m_queue, width, height);
    copy(m_current->surface(), fresh->surface(), fresh->surface().bounds());
    fresh->stale().clear();
    m_buffers.clear();
    m_buffers.push_back(std::move(fresh));
    m_current = m_buffers.back().get();
    m_width = width;
    m_height = height;
    m_uncommitted = Region(Rect{0, 0, width, height});
}

} // namespace platform
