#include "app/Program.h"

#include "app/App.h"
#include "app/DesktopSession.h"
#include "app/FileTypes.h"
#include "app/Keys.h"
#include "app/MenuBar1.h"
#include "common/MediaLibrary.h"
#include "common/Plugins.h"
#include "platform/compat/Application.h"
#include "platform/compat/BuiltInPlugins.h"
#include "platform/compat/WindowSupport.h"
#include "scene/Window1.h"

using platform::make_ref;
using platform::Ref;

namespace app {

int main_routine(platform::Backend& backend, const Ref<platform::ResourceFork>& media,
                 const SessionOptions& session, const NightOptions& night) {
    platform::RuntimeInit(backend);
    platform::Runtime::current().set_resource_fork(media);
    initialize();
    _Main(session, night);
    finalize();
    return platform::RuntimeExit();
}

void initialize() {
    platform::_WindowSupport::Windows.emplace();
}

void _InitPluginEntrypoints() {
    __plugin_entrypoints = platform::RuntimeAllocatePluginEntrypointsTable(1);
    __plugin_entrypoints[0] = platform::RuntimeLookupPluginEntrypoint("ObscureCursorMBS");
}

void _InitFileTypes() {
    FileTypes::_Initialize();
}

void _NewAppInstance() {
    Ref<App> application = make_ref<App>();
    // The menu bar is in place before the application is registered.
    application->SetMenuBar(::MenuBar1(), 0);
    platform::RuntimeRegisterAppObject(application);
}

// Deliberately empty: the application handles no menu command of its own; Quit acts through its
// menu item.
void _ApplicationAddMenuHandlers() {
}

void _MakeDefaultView() {
    (void)::Window1();
}

void bind_keys() {
    Keys::bind();
}

void start_up() {
    platform::RuntimeInitExternalClasses();
    _InitPluginEntrypoints();
    _InitFileTypes();
    _NewAppInstance();
    _ApplicationAddMenuHandlers();
    _MakeDefaultView();
    bind_keys();
}

void start_night(const NightOptions& night) {
    scene::Night& controls = ::Window1()->night();
    controls.configure(night.fade_seconds, night.then == NightOptions::Then::Quit);
    if (night.dim_percent != 100)
        controls.set_dim(night.dim_percent, false);
    if (night.sleep_minutes > 0)
        controls.set_sleep(night.sleep_minutes);
    if (night.play)
        controls.play_fading_in();
}

void _Main(const SessionOptions& session, const NightOptions& night) {
    try {
        start_up();
        start_night(night);
        DesktopSession desktop(session);
        platform::RuntimeRun();
    } catch (const std::exception& failure) {
        platform::RuntimeUnhandledException(failure);
    }
}

void finalize() {
    Keys::unbind();
    MediaLibrary::ReleaseAll();
    platform::_WindowSupport::Windows.reset();
    platform::Desktop::current().release_implicit_windows();
    FileTypes::pText = nullptr;
    FileTypes::pAudioWav = nullptr;
    MenuBar1::_implicitInstance = nullptr;
}

} // namespace app
