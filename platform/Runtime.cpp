#include "platform/Runtime.h"

#include "platform/compat/Application.h"
#include "platform/compat/MenuBar.h"
#include "platform/compat/WindowList.h"
#include "platform/resources/ResourceFork.h"

#include <stdexcept>
#include <utility>

namespace platform {

namespace {

Runtime* s_current = nullptr;

// Stand-in: the program calls one plug-in function, found by name at start-up; it is built in.
// The built-in plug-in behind the name "ObscureCursorMBS".
void obscure_cursor_plugin() {
    if (Desktop* desktop = Current<Desktop>::find())
        desktop->display().obscure_cursor();
}

} // namespace

Runtime::Runtime(Backend& backend)
    : m_backend(backend), m_loop(backend, m_desktop, m_failures, backend.output_volume()),
      m_desktop(backend, backend, m_failures, m_loop), m_current_services(backend) {
    if (s_current)
        throw std::logic_error("the runtime is already running");
    s_current = this;
    m_loop.set_menu_shortcuts([this](const std::string& key) { menu_shortcut(key); });
    m_desktop.set_screen_observer([this](const Rect& screen) {
        if (m_resource_fork)
            m_resource_fork->set_screen_size(screen.w, screen.h);
    });
}

Runtime::~Runtime() {
    // Whatever the program did not release goes now, while the runtime still answers.
    m_desktop.release_implicit_windows();
    m_app = nullptr;
    m_resource_fork = nullptr;
    m_window_list = nullptr;
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

void Runtime::register_app(Ref<Application> app) {
    note(app && app->MenuBar(0) ? "application with its menu bar" : "application");
    m_app = std::move(app);
}

void Runtime::menu_shortcut(const std::string& key) {
    if (!m_app)
        return;
    Ref<MenuBar> bar = m_app->MenuBar(0);
    if (!bar)
        return;
    if (Ref<MenuItem> item = bar->find_shortcut("Cmd+" + key))
        m_failures.guard([&] { return "menu item " + item->Name(); }, [&] { item->Action(); });
}

void Runtime::create_window_list() {
    m_window_list = make_ref<WindowList>();
}

void Runtime::release_window_list() {
    m_window_list = nullptr;
}

void Runtime::register_file_type(const std::string& name, const std::string& creator,
                                 const std::string& type, const std::string& extensions) {
    note("declare " + name);
    m_file_type_calls.push_back({true, name, creator, type, extensions});
    m_registered_types[name] = true;
}

void Runtime::deregister_file_type(const std::string& name) {
    note("withdraw " + name);
    m_file_type_calls.push_back({false, name, {}, {}, {}});
    m_registered_types.erase(name);
}

bool Runtime::is_file_type_registered(const std::string& name) const {
    return m_registered_types.count(name) > 0;
}

void Runtime::set_resource_fork(Ref<ResourceFork> fork) {
    m_resource_fork = std::move(fork);
    if (m_resource_fork) {
        Rect screen = m_desktop.screen_bounds();
        m_resource_fork->set_screen_size(screen.w, screen.h);
    }
}

PluginEntry Runtime::plugin_entry(const std::string& name) const {
    if (name == "ObscureCursorMBS")
        return &obscure_cursor_plugin;
    return nullptr;
}

int Runtime::exit_status() const {
    if (m_failed)
        return m_loop.quit_requested() && m_loop.quit_code() != 0 ? m_loop.quit_code() : 1;
    return m_loop.quit_code();
}

namespace {

std::unique_ptr<Runtime> s_owned;

} // namespace

void RuntimeInit(Backend& backend) {
    s_owned = std::make_unique<Runtime>(backend);
}

// Deliberately empty: no plug-in here supplies classes of its own; start-up keeps the step in
// its place so that its order stays as the program was written.
void RuntimeInitExternalClasses() {
}

std::vector<PluginEntry> RuntimeAllocatePluginEntrypointsTable(int count) {
    return std::vector<PluginEntry>(static_cast<size_t>(std::max(0, count)), nullptr);
}

PluginEntry RuntimeLookupPluginEntrypoint(const std::string& name) {
    return Runtime::current().plugin_entry(name);
}

void RuntimeRegisterAppObject(const Ref<Application>& app) {
    Runtime::current().register_app(app);
}

void RuntimeRun() {
    Runtime::current().note("event loop");
    Runtime::current().loop().run();
    Runtime::current().loop_ended();
}

void RuntimeUnhandledException(const std::exception& failure) {
    Runtime& runtime = Runtime::current();
    runtime.mark_failed();
    runtime.failures().report("the program", failure.what());
}

int RuntimeExit() {
    int status = s_owned ? s_owned->exit_status() : 1;
    s_owned.reset();
    return status;
}

void RuntimeRegisterFileType(const std::string& name, const std::string& creator,
                             const std::string& type, const std::string& extensions) {
    Runtime::current().register_file_type(name, creator, type, extensions);
}

void RuntimeDeregisterFileType(const std::string& name) {
    Runtime::current().deregister_file_type(name);
}

Ref<ResourceFork> appResourceForkGetter() {
    return Runtime::exists() ? Runtime::current().resource_fork() : nullptr;
}

} // namespace platform
