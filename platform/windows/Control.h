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

// The events of controls and windows, by name.
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
    Activate,
    Deactivate,
    Resized,
    Exposed,
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

    // Installs the holder's handler of an event; its answer is what a MouseDown returns.
    void bind(Event event, Handler handler);
    // The handler's name, which failure reports give: the holding window's class, then the
    // control's name and the event joined by an underscore ("Window1.Canvas1_MouseUp").
    std::string handler_name(Event event) const;

protected:
    Control() = default;
    // Calls the holder's handler and returns its answer; false when there is none.
    bool raise(Event event, const EventArgs& args = {});
    // The control opens: raised once by the window's constructor, before the first paint.
    virtual void handle_open() { raise(Event::Open); }

private:
    friend class Window;
    std::string m_name;
    Window* m_window = nullptr;
    // Shared so that raising keeps a handler alive while it rebinds its own event.
    std::array<std::shared_ptr<const Handler>, static_cast<size_t>(Event::Count)> m_handlers;
};

} // namespace platform
