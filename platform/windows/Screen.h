#pragma once

#include "platform/base/Object.h"
#include "platform/base/Ref.h"

namespace platform {

// A display screen. Screen 0 is the one the program fills.
class Screen : public Object {
public:
    // The screen of that index, or nil.
    static Ref<Screen> Get(int index);

    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    Screen(int width, int height) : m_width(width), m_height(height) {}
    int m_width;
    int m_height;
};

} // namespace platform
