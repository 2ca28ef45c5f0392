#pragma once

#include "app/CommandLine.h"
#include "app/DesktopSession.h"
#include "platform/Backend.h"
#include "platform/Runtime.h"
#include "platform/base/Ref.h"
#include "platform/resources/ResourceFork.h"

#include <vector>

// The process's spine: start-up in a fixed order, the event loop, and the ordered shutdown.
namespace app {

// The whole run on a backend with a resource container; returns the exit status.
int main_routine(platform::Backend& backend, const platform::Ref<platform::ResourceFork>& media,
                 const SessionOptions& session = {}, const NightOptions& night = {});

// Class set-up, before any object exists.
void initialize();
// The start-up sequence, then the event loop; a failure that escapes either is reported.
void _Main(const SessionOptions& session = {}, const NightOptions& night = {});
// Steps of _Main before the event loop, in order. A failure in a step ends the sequence.
void start_up();
void _InitPluginEntrypoints();
void _InitFileTypes();
void _NewAppInstance();
void _ApplicationAddMenuHandlers();
void _MakeDefaultView();
// The keys beside the menu shortcut; the last step of start_up.
void bind_keys();
// Sets the night up as the command line asks, once the scene is up.
void start_night(const NightOptions& night);
// Releases the long-lived holders in their fixed order, after the loop.
void finalize();

} // namespace app
