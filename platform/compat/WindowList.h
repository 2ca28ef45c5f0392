#pragma once

#include "platform/base/Object.h"

#include <algorithm>
#include <vector>

namespace platform {

class Window;

// The framework's list of the windows that exist, made at class set-up. It does not keep them
// alive: the implicit-instance registry does.
class WindowList : public Object {
public:
    void add(Window* w) { m_windows.push_back(w); }
    void remove(Window* w) { std::erase(m_windows, w); }
    const std::vector<Window*>& windows() const { return m_windows; }

private:
    std::vector<Window*> m_windows;
};

} // namespace platform
