#pragma once

#include "platform/base/Color.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Scale.h"
#include "platform/graphics/TextRenderer.h"
#include "platform/windows/RectControl.h"

#include <string>
#include <vector>

namespace platform {

// A label. Carriage returns break the lines of a multi-line label.
class StaticText : public RectControl {
public:
    enum Align { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };

    const std::string& Text() const { return m_text; }
    void SetText(std::string text);
    Color TextColor() const { return m_style.colour; }
    void SetTextColor(Color colour);
    void SetTextFont(std::string font);
    void SetTextSize(int size);
    void SetBold(bool bold);
    void SetItalic(bool italic);
    void SetUnderline(bool underline);
    void SetTextAlign(int align);
    void SetMultiLine(bool multiline);

    void paint(Graphics& g) override;

protected:
    // A label answers the pointer over all of its rectangle, and so over every pixel of its
    // text. One that its locks have stretched wider than the program made it (across a strip)
    // answers only where its text is, a few pixels around it: the blank rest belongs to what
    // lies under it.
    bool hit(int x, int y) override;
    // Narrower than the program made it, its text would be cut.
    int minimum_width() const override { return placed_width(); }

private:
    void changed();
    std::vector<std::string> lines() const;
    void render();
    // Where a rendered line starts, in logical pixels, by the alignment.
    int line_x(const Image& line) const;

    std::string m_text;
    TextStyle m_style;
    int m_align = AlignLeft;
    bool m_multiline = false;
    // Rendered lines at the device pixels of m_rendered_scale, kept until the text, its style
    // or the screen's scale changes.
    std::vector<Image> m_rendered;
    Scale m_rendered_scale;
    int m_line_height = 0;
    bool m_stale = true;
};

} // namespace platform
