#include "platform/Runtime.h"

#include <memory>
#include <stdexcept>
#include <utility>

namespace platform {

namespace {

Runtime* s_current = nullptr;
std::unique_ptr<Runtime> s_owned;

} // namespace

Runtime::Runtime(Backend& backend)
    : m_backend(backend), m_loop(backend, m_desktop, m_failures, backend.output_volume()),
      m_desktop(backend, backend, m_failures, m_loop) {
    if (s_current)
        throw std::logic_error("the runtime is already running");
    s_current = this;
    m_desktop.set_screen_observer([this](const Rect& screen) {
        if (m_resource_fork)
            m_resource_fork->set_screen(screen.w, screen.h, m_desktop.scale());
    });
}

Runtime::~Runtime() {
    // Whatever the program did not release goes now, while the runtime still answers.
    m_loop.set_keys(nullptr);
    m_loop.set_presence_observer(nullptr);
    m_desktop.release_implicit_windows();
    m_loop.set_menu_shortcuts(nullptr);
    m_resource_fork = nullptr;
    s_current = nullptr;
}

bool Runtime::exists() {
    return s_current != nullptr;
}

Runtime& Runtime::current() {
    if (!s_current)
        throw std::logic_error("the runtime is not running");
    return *s_current;
}

void Runtime::set_resource_fork(Ref<ResourceFork> fork) {
    m_resource_fork = std::move(fork);
    if (m_resource_fork) {
        Rect screen = m_desktop.screen_bounds();
        m_resource_fork->set_screen(screen.w, screen.h, m_desktop.scale());
    }
}

void Runtime::run() {
    m_loop.run();
    m_backend.loop_ended();
}

void Runtime::unhandled(const std::exception& failure) {
    m_failed = true;
    m_failures.report("the program", failure.what());
}

int Runtime::exit_status() const {
    if (m_failed)
        return m_loop.quit_requested() && m_loop.quit_code() != 0 ? m_loop.quit_code() : 1;
    return m_loop.quit_code();
}

void RuntimeInit(Backend& backend) {
    s_owned = std::make_unique<Runtime>(backend);
}

// Deliberately empty: start-up keeps the step in its place so that its order stays as the
// program was written.
void RuntimeInitExternalClasses() {
}

void RuntimeRun() {
    Runtime::current().run();
}

void RuntimeUnhandledException(const std::exception& failure) {
    Runtime::current().unhandled(failure);
}

int RuntimeExit() {
    int status = s_owned ? s_owned->exit_status() : 1;
    s_owned.reset();
    return status;
}

Ref<ResourceFork> appResourceForkGetter() {
    return Runtime::exists() ? Runtime::current().resource_fork() : nullptr;
}

} // namespace platform
