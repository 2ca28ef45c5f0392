#pragma once

#include "platform/Runtime.h"
#include "platform/base/Ref.h"
#include "platform/headless/HeadlessBackend.h"
#include "tests/support/FakeMedia.h"

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace volume {
class loudnessWin;
}

namespace testing_support {

// The whole program started on the headless backend, driven the way a user and time would:
// pointer moves and clicks in screen pixels, keys, and the virtual clock.
class TestProgram {
public:
    struct Options {
        int width = 1920;
        int height = 1080;
        // The screen's scale: its buffer is the logical size times this.
        platform::Scale scale{};
        // Runs the program's own start-up; without it only the runtime is up.
        bool start = true;
        // The desktop's output volume from the start; unreadable without one.
        std::optional<platform::OutputVolume::Reading> system_volume = std::nullopt;

        static Options screen(int screen_width, int screen_height = 900) {
            Options o;
            o.width = screen_width;
            o.height = screen_height;
            return o;
        }
        static Options at_volume(std::optional<platform::OutputVolume::Reading> volume) {
            Options o;
            o.system_volume = volume;
            return o;
        }
        static Options runtime_only() {
            Options o;
            o.start = false;
            return o;
        }
    };
    TestProgram() : TestProgram(Options{}) {}
    explicit TestProgram(Options options, platform::Ref<platform::ResourceFork> media =
                                              platform::make_ref<FakeMedia>());
    ~TestProgram();
    TestProgram(const TestProgram&) = delete;
    TestProgram& operator=(const TestProgram&) = delete;

    platform::HeadlessBackend& backend() { return *m_backend; }
    platform::Runtime& runtime() { return platform::Runtime::current(); }
    FakeMedia* media() { return m_media; }

    // Runs the loop for ms of virtual time.
    void advance(double ms);
    void move(int x, int y);
    void press(int x, int y);
    void release(int x, int y);
    void click(int x, int y);
    // Clicks the middle of the moon's hot spot, 486 pixels in from the screen's right edge.
    void click_moon();
    // Opens the volume panel as a user does: into the top strip, then a click on the speaker.
    platform::Ref<volume::loudnessWin> open_volume_panel();
    void key(const std::string& key, bool ctrl = true);
    void deliver(const platform::InputEvent& event);

    // Runs the ordered shutdown and the runtime's exit; returns the exit status.
    int shut_down();
    bool is_running() const { return m_running; }

    // What the runtime reported as failures.
    std::string reports() const { return m_reports.str(); }
    long failure_count();

private:
    std::unique_ptr<platform::HeadlessBackend> m_backend;
    FakeMedia* m_media = nullptr;
    std::ostringstream m_reports;
    bool m_running = false;
};

} // namespace testing_support
