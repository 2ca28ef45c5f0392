#pragma once

#include "platform/base/Object.h"
#include "platform/graphics/CursorShape.h"

namespace platform {

// A pointer shape that a control shows while the pointer is over it.
class MouseCursor : public Object {
public:
    explicit MouseCursor(CursorShape shape) : m_shape(shape) {}
    CursorShape shape() const { return m_shape; }

private:
    CursorShape m_shape;
};

} // namespace platform
