#include "tests/support/TestProgram.h"

#include "app/Program.h"
#include "platform/native/TtfTextRenderer.h"
#include "platform/windows/Canvas.h"
#include "scene/Window1.h"
#include "volume/loudnessWin.h"

#include <cmath>

namespace testing_support {

TestProgram::TestProgram(Options options, platform::Ref<platform::ResourceFork> media)
    : m_backend(std::make_unique<platform::HeadlessBackend>(
          options.width, options.height, std::make_unique<platform::TtfTextRenderer>(),
          options.scale)) {
    m_media = dynamic_cast<FakeMedia*>(media.get());
    m_backend->set_system_volume(options.system_volume);
    platform::RuntimeInit(*m_backend);
    runtime().failures().set_stream(&m_reports);
    runtime().set_resource_fork(media);
    m_running = true;
    if (!options.start)
        return;
    app::initialize();
    // As the program's own start-up does, short of running the loop.
    try {
        app::start_up();
    } catch (const std::exception& failure) {
        platform::RuntimeUnhandledException(failure);
    }
    advance(0);
}

TestProgram::~TestProgram() {
    if (m_running)
        shut_down();
}

void TestProgram::advance(double ms) {
    platform::Micros end =
        m_backend->now() + static_cast<platform::Micros>(std::llround(ms * 1000));
    runtime().loop().run_until(end);
}

void TestProgram::deliver(const platform::InputEvent& event) {
    m_backend->push(event);
    advance(0);
}

void TestProgram::move(int x, int y) {
    deliver(platform::InputEvent(platform::InputEvent::Type::PointerMove, x, y));
}

void TestProgram::press(int x, int y) {
    deliver(platform::InputEvent(platform::InputEvent::Type::PointerDown, x, y));
}

void TestProgram::release(int x, int y) {
    deliver(platform::InputEvent(platform::InputEvent::Type::PointerUp, x, y));
}

void TestProgram::click(int x, int y) {
    move(x, y);
    press(x, y);
    release(x, y);
}

void TestProgram::click_moon() {
    click(runtime().desktop().screen_bounds().w - 486 + 71, 179);
}

platform::Ref<volume::loudnessWin> TestProgram::open_volume_panel() {
    int speaker_x = Window1()->control_as<platform::Canvas>("Canvas3")->Left() + 12;
    move(speaker_x, 12);
    click(speaker_x, 12);
    return loudnessWin();
}

void TestProgram::key(const std::string& key, bool ctrl) {
    platform::InputEvent e(platform::InputEvent::Type::KeyDown);
    e.key = key;
    e.shortcut_modifier = ctrl;
    deliver(e);
}

long TestProgram::failure_count() {
    return runtime().failures().count();
}

int TestProgram::shut_down() {
    m_running = false;
    app::finalize();
    return platform::RuntimeExit();
}

} // namespace testing_support
