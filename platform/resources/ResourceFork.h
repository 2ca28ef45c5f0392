#pragma once

#include "platform/base/Object.h"
#include "platform/base/Ref.h"
#include "platform/graphics/Picture.h"
#include "platform/sound/Sound.h"

#include <cstdint>

namespace platform {

// The application's resource container: pictures and sounds by numeric id, in two separate id
// spaces. A lookup of an id it does not hold answers nil.
class ResourceFork : public Object {
public:
    virtual Ref<Picture> GetPicture(int32_t id) = 0;
    virtual Ref<Sound> GetSound(int32_t id) = 0;
    // The screen's size in logical pixels and its scale, told when the runtime takes the
    // container and whenever they change, for a container that decodes pictures only as far as
    // the screen reaches and at the pixels of its scale.
    virtual void set_screen(int, int, Scale) {}
};

} // namespace platform
