#include "platform/base/Object.h"

namespace platform {

namespace {
int64_t s_live_objects = 0;
}

Object::Object() {
    ++s_live_objects;
}

Object::~Object() {
    --s_live_objects;
}

void Object::release() const {
    if (--m_ref_count == 0)
        delete this;
}

int64_t Object::live_count() {
    return s_live_objects;
}

} // namespace platform
