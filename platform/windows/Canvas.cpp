#include "platform/windows/Canvas.h"

#include "platform/graphics/Graphics.h"

namespace platform {

void Canvas::SetBackdrop(Ref<Picture> picture) {
    m_backdrop = std::move(picture);
    Refresh();
}

void Canvas::paint(Graphics& g) {
    if (m_backdrop)
        g.DrawPicture(m_backdrop, 0, 0);
    handle_paint(g);
}

void Canvas::handle_paint(Graphics& g) {
    raise(Event::Paint, {0, 0, &g});
}

} // namespace platform
