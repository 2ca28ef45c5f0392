#include "about/CreditsPage.h"

#include "platform/resources/ProgramLocation.h"

#include <system_error>

namespace about {

namespace fs = std::filesystem;

namespace {

void append_encoded(std::string& out, const std::string& text, bool keep_slash) {
    static const char hex[] = "0123456789ABCDEF";
    for (unsigned char c : text) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.' || c == '_' || c == '~' || (keep_slash && c == '/');
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
}

} // namespace

std::vector<fs::path> CreditsPage::candidates(const fs::path& executable) {
    return platform::ProgramLocation::candidates(executable, fs::path("doc") / "credits.html",
                                                 fs::path("doc") / "quorvane" / "credits.html");
}

std::string CreditsPage::address(const fs::path& executable, const std::string& section) {
    std::vector<fs::path> places = candidates(executable);
    fs::path page = places.back();
    for (const fs::path& place : places) {
        std::error_code ec;
        if (fs::is_regular_file(place, ec)) {
            page = place;
            break;
        }
    }
    return file_url(page.lexically_normal(), section);
}

std::string CreditsPage::file_url(const fs::path& path, const std::string& fragment) {
    std::string url = "file://";
    append_encoded(url, path.generic_string(), true);
    if (!fragment.empty()) {
        url += '#';
        append_encoded(url, fragment, false);
    }
    return url;
}

} // namespace about
