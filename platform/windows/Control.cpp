#include "platform/windows/Control.h"

#include "platform/base/FailureLog.h"
#include "platform/windows/Desktop.h"
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
    case Event::Activate:
        return "Activate";
    case Event::Deactivate:
        return "Deactivate";
    case Event::Resized:
        return "Resized";
    case Event::Exposed:
        return "Exposed";
    case Event::Count:
        break;
    }
    return "?";
}

void Control::bind(Event event, Handler handler) {
    m_handlers[static_cast<size_t>(event)] =
        handler ? std::make_shared<const Handler>(std::move(handler)) : nullptr;
}

bool Control::raise(Event event, const EventArgs& args) {
    std::shared_ptr<const Handler> handler = m_handlers[static_cast<size_t>(event)];
    if (!handler)
        return false;
    try {
        return (*handler)(args);
    } catch (...) {
        if (m_window)
            m_window->desktop().failures().note_origin(handler_name(event));
        throw;
    }
}

std::string Control::handler_name(Event event) const {
    std::string owner = m_window ? m_window->ClassName() + "." : std::string();
    return owner + m_name + "_" + event_name(event);
}

} // namespace platform
