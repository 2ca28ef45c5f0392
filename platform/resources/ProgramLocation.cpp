#include "platform/resources/ProgramLocation.h"

#include <system_error>

namespace platform {

namespace fs = std::filesystem;

fs::path ProgramLocation::executable(const fs::path& invoked_as) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self;
    if (invoked_as.empty())
        return {};
    return fs::absolute(invoked_as, ec);
}

std::vector<fs::path> ProgramLocation::candidates(const fs::path& executable,
                                                  const fs::path& beside, const fs::path& shared) {
    fs::path dir = executable.parent_path();
    return {dir / beside, dir.parent_path() / "share" / shared};
}

} // namespace platform
