#include "platform/windows/StaticText.h"

#include "platform/Runtime.h"
#include "platform/graphics/Graphics.h"

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

void StaticText::paint(Graphics& g) {
    if (m_stale) {
        TextRenderer& renderer = Runtime::current().backend().text();
        m_rendered.clear();
        for (const std::string& line : lines())
            m_rendered.push_back(renderer.render_line(line, m_style));
        m_line_height = renderer.line_height(m_style);
        m_stale = false;
    }
    int y = 0;
    for (const Image& line : m_rendered) {
        int x = 0;
        if (m_align == AlignCenter)
            x = (Width() - line.width()) / 2;
        else if (m_align == AlignRight)
            x = Width() - line.width();
        g.draw_image(line, x, y);
        y += m_line_height;
    }
}

} // namespace platform
