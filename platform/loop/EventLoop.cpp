#include "platform/loop/EventLoop.h"

#include "platform/base/FailureLog.h"
#include "platform/windows/Desktop.h"
#include "platform/windows/Dispatcher.h"
#include "platform/windows/Timer.h"

#include <algorithm>

namespace platform {

EventLoop::EventLoop(EventSource& events, Desktop& desktop, FailureLog& failures,
                     OutputVolume& volume)
    : m_events(events), m_desktop(desktop), m_failures(failures), m_volume(volume) {
}

EventLoop::~EventLoop() {
    // A timer that outlives the loop has nowhere left to leave.
    for (Timer* t : m_timers)
        t->m_queue = nullptr;
}

void EventLoop::schedule(Timer& timer) {
    if (std::find(m_timers.begin(), m_timers.end(), &timer) == m_timers.end())
        m_timers.push_back(&timer);
}

void EventLoop::unschedule(Timer& timer) {
    std::erase(m_timers, &timer);
}

std::optional<Micros> EventLoop::next_deadline() const {
    std::optional<Micros> next;
    for (const Timer* t : m_timers)
        if (!next || t->deadline() < *next)
            next = t->deadline();
    return next;
}

void EventLoop::run() {
    while (!m_quit) {
        settle();
        handle_waiting_events(m_events.wait_event(next_deadline()));
        if (!m_quit)
            fire_due_timers();
    }
    settle();
}

void EventLoop::run_until(Micros end) {
    do {
        settle();
        std::optional<Micros> deadline = next_deadline();
        Micros wake = deadline ? std::min(*deadline, end) : end;
        handle_waiting_events(m_events.wait_event(wake));
        if (!m_quit)
            fire_due_timers();
    } while (!m_quit && m_events.now() < end);
    settle();
}

void EventLoop::watch(std::string name, int fd, short events, std::function<short()> ready) {
    // Watched already, it is only told what to wait for now.
    std::erase_if(m_sources, [fd](const Source& s) { return s.fd == fd; });
    m_sources.push_back({std::move(name), fd, std::move(ready)});
    m_events.watch(fd, events);
}

void EventLoop::unwatch(int fd) {
    if (std::erase_if(m_sources, [fd](const Source& s) { return s.fd == fd; }))
        m_events.watch(fd, 0);
}

void EventLoop::source_ready(int fd) {
    auto it = std::find_if(m_sources.begin(), m_sources.end(),
                           [fd](const Source& s) { return s.fd == fd; });
    if (it == m_sources.end())
        return;
    // The action may watch or unwatch sources itself: it runs on a copy.
    Source source = *it;
    short next = 0;
    if (!m_failures.guard(source.name, [&] { next = source.ready(); }))
        next = 0;
    if (std::none_of(m_sources.begin(), m_sources.end(),
                     [fd](const Source& s) { return s.fd == fd; }))
        return;
    if (next)
        m_events.watch(fd, next);
    else
        unwatch(fd);
}

void EventLoop::quit(int code) {
    m_quit = true;
    m_quit_code = code;
}

void EventLoop::handle_waiting_events(std::optional<InputEvent> event) {
    while (event && !m_quit) {
        handle(*event);
        event = m_events.poll_event();
    }
}

bool EventLoop::taken_by_presence(const InputEvent& event) {
    bool taken = false;
    if (m_presence)
        m_failures.guard("presence observer", [&] { taken = m_presence(event); });
    // A menu shortcut always acts: Ctrl+Q quits in the dark too.
    return taken && event.type == InputEvent::Type::KeyDown && !event.shortcut_modifier;
}

void EventLoop::handle(const InputEvent& event) {
    switch (event.type) {
    case InputEvent::Type::PointerMove:
    case InputEvent::Type::PointerDown:
    case InputEvent::Type::KeyDown:
    case InputEvent::Type::MediaKey:
        if (taken_by_presence(event))
            return;
        break;
    default:
        break;
    }
    switch (event.type) {
    case InputEvent::Type::PointerMove:
        m_desktop.dispatcher().pointer_moved(event.x, event.y);
        break;
    case InputEvent::Type::PointerDown:
        m_desktop.dispatcher().pointer_pressed(event.x, event.y);
        break;
    case InputEvent::Type::PointerUp:
        m_desktop.dispatcher().pointer_released(event.x, event.y);
        break;
    case InputEvent::Type::KeyDown:
        if (event.shortcut_modifier && m_menu_shortcuts)
            m_menu_shortcuts(event.key);
        else if (!event.shortcut_modifier && m_keys)
            m_failures.guard("key " + event.key, [&] { m_keys(event.key); });
        break;
    case InputEvent::Type::QuitRequest:
        quit(0);
        break;
    case InputEvent::Type::Exposed:
        m_desktop.screen_lost();
        break;
    case InputEvent::Type::Seen:
        m_desktop.set_seen(event.x != 0);
        break;
    case InputEvent::Type::ScreenResized:
        m_desktop.screen_resized();
        break;
    case InputEvent::Type::OutputVolumeChanged:
        m_volume.report_change();
        break;
    case InputEvent::Type::SourceReady:
        source_ready(event.x);
        break;
    case InputEvent::Type::MediaKey:
        if (m_media_keys)
            m_failures.guard("media key " + event.key, [&] { m_media_keys(event.key); });
        break;
    }
}

void EventLoop::fire_due_timers() {
    Micros now = m_events.now();
    // Earliest deadline first; each action may start, stop or re-time any timer.
    for (;;) {
        Timer* due = nullptr;
        for (Timer* t : m_timers)
            if (t->deadline() <= now && (!due || t->deadline() < due->deadline()))
                due = t;
        if (!due || m_quit)
            return;
        due->fire(m_failures);
    }
}

void EventLoop::settle() {
    m_desktop.dispatcher().sync();
    if (m_observer)
        m_failures.guard("batch observer", m_observer);
    m_desktop.present();
}

} // namespace platform
