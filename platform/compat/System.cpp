#include "platform/compat/System.h"

#include "platform/windows/Desktop.h"

namespace platform::System {

namespace Cursors {

namespace {

MouseCursor* kept(MouseCursor* cursor) {
    cursor->add_ref();
    return cursor;
}

// One shared object per shape, made on first use and kept for the process, so that a
// control's cursor can be compared by identity.
Ref<MouseCursor> shared(CursorShape shape) {
    static MouseCursor* const shapes[] = {kept(new MouseCursor(CursorShape::StandardPointer)),
                                          kept(new MouseCursor(CursorShape::FingerPointer))};
    return Ref<MouseCursor>(shapes[static_cast<int>(shape)]);
}

} // namespace

Ref<MouseCursor> StandardPointer() {
    return shared(CursorShape::StandardPointer);
}

Ref<MouseCursor> FingerPointer() {
    return shared(CursorShape::FingerPointer);
}

void Show() {
    Desktop::current().display().set_cursor_visible(true);
}

} // namespace Cursors

bool Gestalt(const std::string& selector, int32_t& result) {
    if (selector == "sysv") {
        // This platform stands in for a modern system: version 10.6.
        result = 0x1060;
        return true;
    }
    return false;
}

} // namespace platform::System
