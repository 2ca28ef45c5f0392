#pragma once

#include "platform/loop/PointerVisibility.h"

#include "platform/graphics/CursorShape.h"

#include <cstdint>

struct wl_compositor;
struct wl_cursor;
struct wl_cursor_theme;
struct wl_pointer;
struct wl_shm;
struct wl_surface;

namespace platform {

// The pointer's picture over the window, from the user's cursor theme (XCURSOR_THEME and
// XCURSOR_SIZE): the arrow or the hand, shown, hidden, or hidden until the pointer next moves.
// A compositor takes a picture only from a pointer inside the window, by the serial of its
// entry, so the shape is sent again at every entry.
class WaylandCursor {
public:
    WaylandCursor(wl_compositor* compositor, wl_shm* shm);
    ~WaylandCursor();
    WaylandCursor(const WaylandCursor&) = delete;
    WaylandCursor& operator=(const WaylandCursor&) = delete;

    void set_shape(CursorShape shape);
    void set_visible(bool visible);
    void obscure();

    void pointer_entered(wl_pointer* pointer, uint32_t serial);
    void pointer_moved();
    void pointer_left();

private:
    void apply();

    wl_cursor_theme* m_theme = nullptr;
    wl_cursor* m_cursors[2] = {nullptr, nullptr};
    wl_surface* m_surface = nullptr;
    wl_pointer* m_pointer = nullptr;
    uint32_t m_serial = 0;
    CursorShape m_shape = CursorShape::StandardPointer;
    PointerVisibility m_visibility;
    // What the compositor was last told, to send nothing when nothing changed.
    bool m_shown = false;
    CursorShape m_shown_shape = CursorShape::StandardPointer;
    bool m_sent = false;
};

} // namespace platform
