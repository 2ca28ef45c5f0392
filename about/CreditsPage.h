#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace about {

// The credits page that ships with the program: an HTML page the build writes beside the
// executable and the install puts with the docs. Quorvane has no web site of its own, so the
// about box's links open this page, each at its own section.
class CreditsPage {
public:
    // The sections the links open at, as the page names them.
    static constexpr const char* kProgramSection = "quorvane";
    static constexpr const char* kSliderSection = "superslider";

    // Where the page is looked for, in order, for a program at executable.
    static std::vector<std::filesystem::path> candidates(const std::filesystem::path& executable);
    // The page's address at a section: the first candidate that exists, else where an installed
    // program keeps it (a missing page is the browser's to report).
    static std::string address(const std::filesystem::path& executable, const std::string& section);

    // A file:// address for an absolute path: every byte other than letters, digits, "-._~"
    // and the path's "/" percent-encoded; a fragment follows after "#", encoded the same way.
    static std::string file_url(const std::filesystem::path& path, const std::string& fragment);
};

} // namespace about
