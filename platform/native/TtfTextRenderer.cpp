#include "platform/native/TtfTextRenderer.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <iostream>

namespace platform {

TtfTextRenderer::TtfTextRenderer() {
    m_ready = TTF_Init() == 0;
}

TtfTextRenderer::~TtfTextRenderer() {
    for (auto& [key, font] : m_fonts)
        if (font)
            TTF_CloseFont(static_cast<TTF_Font*>(font));
    if (m_ready)
        TTF_Quit();
}

std::string TtfTextRenderer::font_file(const std::string& family, bool bold, bool italic) {
    // Loading fontconfig's configuration reads every font cache: it is done once per process,
    // and each answer is kept.
    static std::map<std::tuple<std::string, bool, bool>, std::string> known;
    auto key = std::make_tuple(family, bold, italic);
    if (auto it = known.find(key); it != known.end())
        return it->second;
    std::string name = family == "System" ? std::string("sans-serif") : family;
    if (!FcInit())
        return {};
    FcConfig* config = FcConfigGetCurrent();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    std::string file;
    if (pattern) {
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
            FcChar8* path = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
                file = reinterpret_cast<const char*>(path);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    known[key] = file;
    return file;
}

void* TtfTextRenderer::font_for(const TextStyle& style) {
    auto key = std::make_tuple(style.font, style.size, style.bold, style.italic);
    auto it = m_fonts.find(key);
    if (it != m_fonts.end())
        return it->second;
    TTF_Font* font = nullptr;
    if (m_ready) {
        std::string file = font_file(style.font, style.bold, style.italic);
        if (!file.empty())
            font = TTF_OpenFont(file.c_str(), style.size);
    }
    if (!font && !m_reported) {
        m_reported = true;
        std::cerr << "quorvane: no font for \"" << style.font << "\" (" << TTF_GetError()
                  << "); labels stay empty" << std::endl;
    }
    // Full hinting puts stems on whole pixels: light hinting smears each 1-pixel stem of a small
    // label over two grey columns.
    if (font)
        TTF_SetFontHinting(font, TTF_HINTING_NORMAL);
    m_fonts[key] = font;
    return font;
}

Image TtfTextRenderer::render_line(const std::string& text, const TextStyle& style) {
    auto* font = static_cast<TTF_Font*>(font_for(style));
    if (!font || text.empty())
        return {};
    TTF_SetFontStyle(font, style.underline ? TTF_STYLE_UNDERLINE : TTF_STYLE_NORMAL);
    SDL_Color white{255, 255, 255, 255};
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), white);
    if (!rendered)
        return {};
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!argb)
        return {};
    // Only the coverage is taken from the rendering; the colour is the label's.
    Image image(argb->w, argb->h, 0);
    uint32_t rgb = style.colour.to_pixel() & 0x00FFFFFFu;
    for (int y = 0; y < argb->h; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + static_cast<long>(y) * argb->pitch);
        uint32_t* out = image.row(y);
        for (int x = 0; x < argb->w; ++x)
            out[x] = (in[x] & 0xFF000000u) | rgb;
    }
    SDL_FreeSurface(argb);
    image.update_opacity();
    return image;
}

// Multi-line labels are laid out on a pitch of 1.25 em (15 pixels at size 12), not the font's own
// line skip, which differs from font to font (14 to 17 pixels at size 12): controls placed over
// a label's lines then meet them whatever sans-serif the desktop has.
int TtfTextRenderer::line_height(const TextStyle& style) {
    return style.size + style.size / 4;
}

} // namespace platform
