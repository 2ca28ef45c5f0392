#include "platform/windows/Control.h"

#include "platform/Runtime.h"
#include "platform/windows/Window.h"

namespace platform {

const char* event_name(Event event) {
    switch (event) {
    case Event::Open:
        return "Open";
    case Event::Paint:
        return "Paint";
    case Event::MouseDown:
        return "MouseDown";
    case Event::MouseDrag:
        return "MouseDrag";
    case Event::MouseUp:
        return "MouseUp";
    case Event::MouseEnter:
        return "MouseEnter";
    case Event::MouseExit:
        return "MouseExit";
    case Event::Action:
        return "Action";
    case Event::ValueChanged:
        return "ValueChanged";
    case Event::Count:
        break;
    }
    return "?";
}

void Control::bind(Event event, std::string handler_name, Handler handler) {
    m_bindings[static_cast<size_t>(event)] = {
        std::move(handler_name),
        handler ? std::make_shared<const Handler>(std::move(handler)) : nullptr};
}

bool Control::has_handler(Event event) const {
    return m_bindings[static_cast<size_t>(event)].handler != nullptr;
}

bool Control::raise(Event event, const EventArgs& args) {
    // Held so that a handler may rebind its own event while it runs.
    std::shared_ptr<const Handler> handler = m_bindings[static_cast<size_t>(event)].handler;
    if (!handler)
        return false;
    try {
        return (*handler)(args);
    } catch (...) {
        if (Runtime::exists())
            Runtime::current().note_failure_origin(handler_name(event));
        throw;
    }
}

std::string Control::handler_name(Event event) const {
    const Binding& b = m_bindings[static_cast<size_t>(event)];
    if (!b.name.empty())
        return b.name;
    std::string owner = m_window ? m_window->ClassName() + "." : std::string();
    return owner + m_name + "." + event_name(event);
}

} // namespace platform
