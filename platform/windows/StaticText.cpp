#include "platform/windows/StaticText.h"

#include "platform/graphics/Graphics.h"
#include "platform/windows/Desktop.h"
#include "platform/windows/Window.h"

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
    if (!m_stale || !window())
        return;
    TextRenderer& renderer = window()->desktop().text();
    m_rendered.clear();
    for (const std::string& line : lines())
        m_rendered.push_back(renderer.render_line(line, m_style));
    m_line_height = renderer.line_height(m_style);
    m_stale = false;
}

int StaticText::line_x(const Image& line) const {
    if (m_align == AlignCenter)
        return (Width() - line.width()) / 2;
    if (m_align == AlignRight)
        return Width() - line.width();
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
        Rect around{line_x(line) - kMargin, top - kMargin, line.width() + 2 * kMargin,
                    m_line_height + 2 * kMargin};
        if (line.width() > 0 && around.contains(x, y))
            return true;
        top += m_line_height;
    }
    return false;
}

} // namespace platform
