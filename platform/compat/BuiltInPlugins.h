#pragma once

#include <string>
#include <vector>

namespace platform {

// A function supplied as a plug-in, found by name.
using PluginEntry = void (*)();

// Stand-in: the plug-in functions the program calls are built in, found by name. The one there
// is, "ObscureCursorMBS", hides the pointer until it next moves.
//
// A table of count entry points, all empty.
std::vector<PluginEntry> RuntimeAllocatePluginEntrypointsTable(int count);
// The built-in plug-in function of that name, or null.
PluginEntry RuntimeLookupPluginEntrypoint(const std::string& name);

} // namespace platform
