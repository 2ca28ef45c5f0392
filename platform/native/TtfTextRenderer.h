#pragma once

#include "platform/graphics/TextRenderer.h"

#include <map>
#include <string>
#include <tuple>

namespace platform {

// Label text through SDL_ttf. "System" is the desktop's default sans-serif font as fontconfig
// names it; other names are looked up the same way.
class TtfTextRenderer : public TextRenderer {
public:
    TtfTextRenderer();
    ~TtfTextRenderer() override;
    TtfTextRenderer(const TtfTextRenderer&) = delete;
    TtfTextRenderer& operator=(const TtfTextRenderer&) = delete;

    Image render_line(const std::string& text, const TextStyle& style) override;
    int line_height(const TextStyle& style) override;

    // The font file fontconfig picks for a family name; empty when there is none.
    static std::string font_file(const std::string& family, bool bold, bool italic);

private:
    // An open font for the style, or null when none can be had (reported once).
    void* font_for(const TextStyle& style);

    bool m_ready = false;
    std::map<std::tuple<std::string, int, bool, bool>, void*> m_fonts;
    bool m_reported = false;
};

} // namespace platform
