#pragma once

#include "platform/compat/BuiltInPlugins.h"

#include <vector>

// The plug-in functions the program uses, found by name at start-up: slot 0 holds the one
// behind ObscureCursorMBS.
extern std::vector<platform::PluginEntry> __plugin_entrypoints;

// Hides the pointer until the user next moves the mouse.
void ObscureCursorMBS();
