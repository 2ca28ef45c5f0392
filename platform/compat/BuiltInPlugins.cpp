#include "platform/compat/BuiltInPlugins.h"

#include "platform/windows/Desktop.h"

#include <algorithm>

namespace platform {

namespace {

void obscure_cursor() {
    if (Desktop* desktop = Current<Desktop>::find())
        desktop->display().obscure_cursor();
}

} // namespace

std::vector<PluginEntry> RuntimeAllocatePluginEntrypointsTable(int count) {
    return std::vector<PluginEntry>(static_cast<size_t>(std::max(0, count)), nullptr);
}

PluginEntry RuntimeLookupPluginEntrypoint(const std::string& name) {
    if (name == "ObscureCursorMBS")
        return &obscure_cursor;
    return nullptr;
}

} // namespace platform
