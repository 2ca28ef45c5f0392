#include "common/Plugins.h"

std::vector<platform::PluginEntry> __plugin_entrypoints;

void ObscureCursorMBS() {
    // With no plug-in of that name the call does nothing.
    if (!__plugin_entrypoints.empty() && __plugin_entrypoints[0])
        __plugin_entrypoints[0]();
}
