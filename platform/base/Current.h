#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// The one object of a kind that the running program uses, for the code that cannot be handed it:
// a window's constructor takes no arguments, a sound has no window. The runtime makes its event
// loop, its desktop and the desktop's services current while it runs, one of each at a time.
template <class T>
class Current {
public:
    explicit Current(T& object) {
        if (s_object)
            throw std::logic_error("a second one is made current while the first still is");
        s_object = &object;
    }
    ~Current() { s_object = nullptr; }
    Current(const Current&) = delete;
    Current& operator=(const Current&) = delete;

    // The current one; raises std::logic_error where none is (the runtime is not running).
    static T& get() {
        if (!s_object)
            throw std::logic_error("the runtime is not running");
        return *s_object;
    }
    // The current one, or null.
    static T* find() { return s_object; }

private:
    static inline T* s_object = nullptr;
};

} // namespace platform
