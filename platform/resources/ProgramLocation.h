#pragma once

#include <filesystem>
#include <vector>

namespace platform {

// Where the running program lives. The files that travel with it (its pictures and sounds, its
// credits page) are found from its executable, the same way in the build tree and installed.
class ProgramLocation {
public:
    // The running executable; when the system cannot say, invoked_as (what main was started
    // as) made absolute.
    static std::filesystem::path executable(const std::filesystem::path& invoked_as = {});

    // The places a file or folder that travels with the program is looked for, in order:
    // <executable's folder>/<beside> (the build tree), then <prefix>/share/<shared> of the
    // prefix the program is installed in.
    static std::vector<std::filesystem::path> candidates(const std::filesystem::path& executable,
                                                         const std::filesystem::path& beside,
                                                         const std::filesystem::path& shared);
};

} // namespace platform
