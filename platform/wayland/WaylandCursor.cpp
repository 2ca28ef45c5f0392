#include "platform/wayland/WaylandCursor.h"

#include <wayland-client.h>
#include <wayland-cursor.h>

#include <cstdlib>
#include <initializer_list>

namespace platform {

namespace {

// Names differ between themes; the last ones are those built into libwayland-cursor, used
// when no theme is installed.
wl_cursor* find(wl_cursor_theme* theme, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (wl_cursor* c = wl_cursor_theme_get_cursor(theme, name))
            return c;
    return nullptr;
}

} // namespace

WaylandCursor::WaylandCursor(wl_compositor* compositor, wl_shm* shm) {
    const char* theme = std::getenv("XCURSOR_THEME");
    int size = 24;
    if (const char* s = std::getenv("XCURSOR_SIZE"); s && std::atoi(s) > 0)
        size = std::atoi(s);
    m_theme = wl_cursor_theme_load(theme && *theme ? theme : nullptr, size, shm);
    if (m_theme) {
        wl_cursor* arrow = find(m_theme, {"left_ptr", "default"});
        wl_cursor* hand = find(m_theme, {"hand2", "pointer", "hand1"});
        m_cursors[static_cast<int>(CursorShape::StandardPointer)] = arrow;
        m_cursors[static_cast<int>(CursorShape::FingerPointer)] = hand ? hand : arrow;
    }
    m_surface = wl_compositor_create_surface(compositor);
}

WaylandCursor::~WaylandCursor() {
    wl_surface_destroy(m_surface);
    if (m_theme)
        wl_cursor_theme_destroy(m_theme);
}

void WaylandCursor::set_shape(CursorShape shape) {
    m_shape = shape;
    apply();
}

void WaylandCursor::set_visible(bool visible) {
    m_visibility.set_visible(visible);
    apply();
}

void WaylandCursor::obscure() {
    m_visibility.obscure();
    apply();
}

void WaylandCursor::pointer_entered(wl_pointer* pointer, uint32_t serial) {
    m_pointer = pointer;
    m_serial = serial;
    m_sent = false;
    apply();
}

void WaylandCursor::pointer_moved() {
    if (m_visibility.moved())
        apply();
}

void WaylandCursor::pointer_left() {
    m_pointer = nullptr;
}

void WaylandCursor::apply() {
    if (!m_pointer)
        return;
    bool show = m_visibility.is_shown();
    if (m_sent && show == m_shown && (!show || m_shape == m_shown_shape))
        return;
    m_sent = true;
    m_shown = show;
    m_shown_shape = m_shape;
    wl_cursor* cursor = m_cursors[static_cast<int>(m_shape)];
    if (!show || !cursor) {
        // Without a theme the compositor's own picture stays; hidden is hidden either way.
        if (!show)
            wl_pointer_set_cursor(m_pointer, m_serial, nullptr, 0, 0);
        return;
    }
    wl_cursor_image* image = cursor->images[0];
    wl_surface_attach(m_surface, wl_cursor_image_get_buffer(image), 0, 0);
    wl_surface_damage_buffer(m_surface, 0, 0, static_cast<int32_t>(image->width),
                             static_cast<int32_t>(image->height));
    wl_surface_commit(m_surface);
    wl_pointer_set_cursor(m_pointer, m_serial, m_surface, static_cast<int32_t>(image->hotspot_x),
                          static_cast<int32_t>(image->hotspot_y));
}

} // namespace platform
