#pragma once

#include "platform/Backend.h"
#include "platform/base/Current.h"
#include "platform/base/FailureLog.h"
#include "platform/base/Ref.h"
#include "platform/loop/EventLoop.h"
#include "platform/windows/Desktop.h"

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Application;
class ResourceFork;
class Window;
class WindowList;

// A function supplied as a plug-in, found by name.
using PluginEntry = void (*)();

// The runtime framework the program is written against: one per process, made by RuntimeInit
// and ended by RuntimeExit. It puts together the event loop and the desktop of windows on a
// backend, makes them and the backend's services current while it runs, and holds the
// framework's registries.
class Runtime {
public:
    explicit Runtime(Backend& backend);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    static bool exists();
    static Runtime& current();

    Desktop& desktop() { return m_desktop; }
    EventLoop& loop() { return m_loop; }

    // Where a failure that escapes a handler is reported.
    FailureLog& failures() { return m_failures; }

    // The application object and its menu bar's shortcuts.
    void register_app(Ref<Application> app);
    const Ref<Application>& app() const { return m_app; }
    void menu_shortcut(const std::string& key);

    // The framework's list of windows, made empty at class set-up.
    void create_window_list();
    void release_window_list();

    // Document type declarations, kept in the runtime's own registry.
    struct FileTypeCall {
        bool registering = true;
        std::string name, creator, type, extensions;
    };
    void register_file_type(const std::string& name, const std::string& creator,
                            const std::string& type, const std::string& extensions);
    void deregister_file_type(const std::string& name);
    const std::vector<FileTypeCall>& file_type_calls() const { return m_file_type_calls; }
    bool is_file_type_registered(const std::string& name) const;

    // Where the program's pictures and sounds come from; nil when there is none.
    void set_resource_fork(Ref<ResourceFork> fork);
    const Ref<ResourceFork>& resource_fork() const { return m_resource_fork; }

    // Built-in plug-in functions by name.
    PluginEntry plugin_entry(const std::string& name) const;

    // The milestones of start-up and shutdown, in order ("declare text", "release walk"): a
    // record for tests and diagnostics.
    void note(const std::string& what) { m_notes.push_back(what); }
    const std::vector<std::string>& notes() const { return m_notes; }

    // The loop has ended; the backend hears of it before the shutdown.
    void loop_ended() { m_backend.loop_ended(); }

    // A failure reached the top of start-up or the loop: the exit status will say so.
    void mark_failed() { m_failed = true; }
    int exit_status() const;

private:
    Backend& m_backend;
    FailureLog m_failures;
    // The loop is made first: the desktop schedules its windows' timers there.
    EventLoop m_loop;
    Desktop m_desktop;
    Current<EventLoop> m_current_loop{m_loop};
    Current<Desktop> m_current_desktop{m_desktop};
    Current<DesktopServices> m_current_services;

    Ref<Application> m_app;
    Ref<WindowList> m_window_list;
    std::vector<FileTypeCall> m_file_type_calls;
    std::map<std::string, bool> m_registered_types;
    Ref<ResourceFork> m_resource_fork;
    std::vector<std::string> m_notes;

    bool m_failed = false;
};

// The framework's operations as the start-up and shutdown sequence calls them.
void RuntimeInit(Backend& backend);
void RuntimeInitExternalClasses();
std::vector<PluginEntry> RuntimeAllocatePluginEntrypointsTable(int count);
PluginEntry RuntimeLookupPluginEntrypoint(const std::string& name);
void RuntimeRegisterAppObject(const Ref<Application>& app);
void RuntimeRun();
void RuntimeUnhandledException(const std::exception& failure);
// Shuts the framework down and returns the exit status.
int RuntimeExit();
void RuntimeRegisterFileType(const std::string& name, const std::string& creator,
                             const std::string& type, const std::string& extensions);
void RuntimeDeregisterFileType(const std::string& name);

} // namespace platform
