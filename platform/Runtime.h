#pragma once

#include "platform/Backend.h"
#include "platform/base/Current.h"
#include "platform/base/FailureLog.h"
#include "platform/base/Ref.h"
#include "platform/loop/EventLoop.h"
#include "platform/resources/ResourceFork.h"
#include "platform/windows/Desktop.h"

#include <exception>

namespace platform {

// The runtime framework the program is written against: one per process, made by RuntimeInit
// and ended by RuntimeExit. It puts the event loop and the desktop of windows together on a
// backend, each given the part of the backend it uses, and makes them and the backend's
// services current while it runs. It holds what belongs to no layer below: the application's
// resource container and whether the run failed.
class Runtime {
public:
    explicit Runtime(Backend& backend);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    static bool exists();
    static Runtime& current();

    FailureLog& failures() { return m_failures; }
    EventLoop& loop() { return m_loop; }
    Desktop& desktop() { return m_desktop; }

    // Where the program's pictures and sounds come from; nil when there is none. It is told
    // the screen's size now and whenever that changes.
    void set_resource_fork(Ref<ResourceFork> fork);
    const Ref<ResourceFork>& resource_fork() const { return m_resource_fork; }

    // Runs the loop until a quit request; the backend then hears that the loop has ended.
    void run();
    // A failure reached the top of start-up or the loop: it is reported, and the exit status
    // will say so.
    void unhandled(const std::exception& failure);
    int exit_status() const;

private:
    Backend& m_backend;
    FailureLog m_failures;
    // The loop is made first: the desktop schedules its windows' timers there.
    EventLoop m_loop;
    Desktop m_desktop;
    Current<EventLoop> m_current_loop{m_loop};
    Current<Desktop> m_current_desktop{m_desktop};
    Current<DesktopServices> m_current_services{m_backend};
    Ref<ResourceFork> m_resource_fork;
    bool m_failed = false;
};

// The framework's operations as the start-up and shutdown sequence calls them.
void RuntimeInit(Backend& backend);
// Deliberately empty: no plug-in here supplies classes of its own.
void RuntimeInitExternalClasses();
void RuntimeRun();
void RuntimeUnhandledException(const std::exception& failure);
// Shuts the framework down and returns the exit status.
int RuntimeExit();

// The application's resource container, or nil when the program has none.
Ref<ResourceFork> appResourceForkGetter();

} // namespace platform
