#pragma once

#include "platform/base/Current.h"
#include "platform/loop/EventSource.h"
#include "platform/loop/InputEvent.h"
#include "platform/sound/OutputVolume.h"
#include "platform/windows/TimerQueue.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class Desktop;
class FailureLog;
class Timer;

// The one loop that runs every handler. It sleeps in the event source until the next input
// event or the next timer deadline, whichever comes first; there is no polling and no frame
// rate. After each batch of events and timer actions it brings the pointer's hover state up to
// date, repaints what was invalidated and presents only the changed parts of the screen.
class EventLoop : public TimerQueue {
public:
    // desktop is only kept here: it may be made after the loop, as its timers are the loop's.
    EventLoop(EventSource& events, Desktop& desktop, FailureLog& failures, OutputVolume& volume);
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // The loop of the running program.
    static EventLoop& current() { return Current<EventLoop>::get(); }

    Micros now() override { return m_events.now(); }
    void schedule(Timer& timer) override;
    void unschedule(Timer& timer) override;
    std::optional<Micros> next_deadline() const;

    // Runs until a quit request.
    void run();
    // Runs until the clock reaches end or a quit request; with the headless backend the
    // clock jumps from deadline to deadline.
    void run_until(Micros end);

    // Where a failure inside the loop's handlers goes.
    FailureLog& failures() { return m_failures; }

    // An outside source of work, such as a bus connection. When fd is ready for events, ready
    // runs on the loop's thread and says what to wait for next; 0 ends the watch, as a failure
    // inside it does, reported under name.
    void watch(std::string name, int fd, short events, std::function<short()> ready);
    void unwatch(int fd);
    // Runs after each batch of events and timer actions, before the screen is presented: for
    // what follows the program's state from outside, whatever changed it. Empty clears it.
    void set_batch_observer(std::function<void()> observer) { m_observer = std::move(observer); }
    // Where media keys go, by name ("PlayPause"); nowhere while empty.
    void set_media_keys(std::function<void(const std::string&)> handler) {
        m_media_keys = std::move(handler);
    }
    // Where menu shortcuts go, by key ("Q" for Ctrl+Q); nowhere while empty. The handler
    // reports its own failures, naming the menu item.
    void set_menu_shortcuts(std::function<void(const std::string&)> handler) {
        m_menu_shortcuts = std::move(handler);
    }

    // Where the other keys go, by key ("T", "Space"); nowhere while empty.
    void set_keys(std::function<void(const std::string&)> handler) { m_keys = std::move(handler); }
    // Hears of every pointer movement or press and every key before it is handled, for what
    // waits on someone being there; a key it answers true for goes no further, unless it is a
    // menu shortcut.
    void set_presence_observer(std::function<bool(const InputEvent&)> observer) {
        m_presence = std::move(observer);
    }

    void quit(int code);
    bool quit_requested() const { return m_quit; }
    int quit_code() const { return m_quit_code; }

private:
    void handle(const InputEvent& event);
    // Whether the presence observer takes the event.
    bool taken_by_presence(const InputEvent& event);
    void handle_waiting_events(std::optional<InputEvent> first);
    void fire_due_timers();
    void settle();
    void source_ready(int fd);

    EventSource& m_events;
    Desktop& m_desktop;
    FailureLog& m_failures;
    OutputVolume& m_volume;
    std::vector<Timer*> m_timers; // the timers that are on, in the order they were started
    struct Source {
        std::string name;
        int fd;
        std::function<short()> ready;
    };
    std::vector<Source> m_sources;
    std::function<void()> m_observer;
    std::function<void(const std::string&)> m_media_keys;
    std::function<void(const std::string&)> m_menu_shortcuts;
    std::function<void(const std::string&)> m_keys;
    std::function<bool(const InputEvent&)> m_presence;
    bool m_quit = false;
    int m_quit_code = 0;
};

} // namespace platform
