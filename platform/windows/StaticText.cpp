#include "platform/windows/StaticText.h"

#include "platform/graphics/Graphics.h"
#include "platform/windows/Desktop.h"
#include "platform/windows/Window.h"

#include <cmath>

namespace platform {

void StaticText::SetText(std::string text) {
    m_text = std::move(text);
    changed();
}

void StaticText::SetTextColor(Color colour) {
    if (colour == m_style.colour)
        return;
    m_style.colour = colour;
    changed();
}

void StaticText::SetTextFont(std::string font) {
    m_style.font = std::move(font);
    changed();
}

void StaticText::SetTextSize(int size) {
    m_style.size = size;
    changed();
}

void StaticText::SetBold(bool bold) {
    m_style.bold = bold;
    changed();
}

void StaticText::SetItalic(bool italic) {
    m_style.italic = italic;
    changed();
}

void StaticText::SetUnderline(bool underline) {
    m_style.underline = underline;
    changed();
}

void StaticText::SetTextAlign(int align) {
    m_align = align;
    Refresh();
}

void StaticText::SetMultiLine(bool multiline) {
    m_multiline = multiline;
    changed();
}

void StaticText::changed() {
    m_stale = true;
    Refresh();
}

std::vector<std::string> StaticText::lines() const {
    std::vector<std::string> out;
    std::string current;
    for (char c : m_text) {
        if (c == '\r' || c == '\n') {
            if (!m_multiline)
                break;
            out.push_back(current);
            current.clear();
            continue;
        }
        current += c;
    }
    out.push_back(current);
    return out;
}

void StaticText::render() {
    // The text comes from the window's desktop: a label drawn outside a window has none.
    if (!window())
        return;
    Desktop& desktop = window()->desktop();
    const Scale scale = desktop.scale();
    if (!m_stale && scale == m_rendered_scale)
        return;
    TextRenderer& renderer = desktop.text();
    // The font at the device's size, so that the letters are as sharp as the screen; the lines
    // keep their logical pitch, so that what is placed over them still meets them.
    TextStyle device_style = m_style;
    device_style.size = static_cast<int>(std::lround(m_style.size * scale.factor()));
    m_rendered.clear();
    for (const std::string& line : lines())
        m_rendered.push_back(renderer.render_line(line, device_style));
    m_line_height = renderer.line_height(m_style);
    m_rendered_scale = scale;
    m_stale = false;
}

int StaticText::line_x(const Image& line) const {
    const int width = m_rendered_scale.to_logical_size(line.width());
    if (m_align == AlignCenter)
        return (Width() - width) / 2;
    if (m_align == AlignRight)
        return Width() - width;
    return 0;
}

void StaticText::paint(Graphics& g) {
    render();
    int y = 0;
    for (const Image& line : m_rendered) {
        g.draw_image(line, line_x(line), y);
        y += m_line_height;
    }
}

bool StaticText::hit(int x, int y) {
    if (Width() <= placed_width())
        return true;
    // Enough to forgive a pointer that just misses a short word.
    constexpr int kMargin = 3;
    render();
    int top = 0;
    for (const Image& line : m_rendered) {
        Rect around{line_x(line) - kMargin, top - kMargin,
                    m_rendered_scale.to_logical_size(line.width()) + 2 * kMargin,
                    m_line_height + 2 * kMargin};
        if (line.width() > 0 && around.contains(x, y))
            return true;
        top += m_line_height;
    }
    return false;
}

} // namespace platform
