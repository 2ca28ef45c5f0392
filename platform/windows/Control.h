#pragma once

#include "platform/base/Object.h"

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace platform {

class Graphics;
class Window;

// The events a holder can handle on a control, by name.
enum class Event {
    Open,
    Paint,
    MouseDown,
    MouseDrag,
    MouseUp,
    MouseEnter,
    MouseExit,
    Action,
    ValueChanged,
    Count
};
const char* event_name(Event event);

struct EventArgs {
    int x = 0;
    int y = 0;
    Graphics* graphics = nullptr;
};

// A member of a window, found by its name. Its holder installs one handler per event; raising
// an event that has no handler does nothing.
class Control : public Object {
public:
    using Handler = std::function<bool(const EventArgs&)>;

    const std::string& Name() const { return m_name; }
    // The holding window; null until the control is added to one. The window owns its
    // controls, so this does not.
    Window* window() const { return m_window; }

    // handler_name is what a failure report calls the handler ("Window1.Canvas1_MouseUp").
    void bind(Event event, std::string handler_name, Handler handler);
    bool has_handler(Event event) const;
    // Calls the holder's handler and returns its answer; false when there is none.
    bool raise(Event event, const EventArgs& args = {});
    std::string handler_name(Event event) const;

    // The control opens: raised once by the window's constructor, before the first paint.
    virtual void handle_open() { raise(Event::Open); }

protected:
    Control() = default;

private:
    friend class Window;
    struct Binding {
        std::string name;
        // Shared so that raising keeps the handler alive without copying it.
        std::shared_ptr<const Handler> handler;
    };
    std::string m_name;
    Window* m_window = nullptr;
    std::array<Binding, static_cast<size_t>(Event::Count)> m_bindings;
};

} // namespace platform
