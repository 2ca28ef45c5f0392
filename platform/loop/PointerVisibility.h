#pragma once

#include <utility>

namespace platform {

// Whether the pointer shows, as every backend keeps it: hidden or shown by the program, and
// obscured until it next moves.
class PointerVisibility {
public:
    void set_visible(bool visible) {
        m_visible = visible;
        if (visible)
            m_obscured = false;
    }
    void obscure() { m_obscured = true; }
    // The pointer moved; true if that brought it back from being obscured.
    bool moved() { return std::exchange(m_obscured, false); }

    bool is_shown() const { return m_visible && !m_obscured; }
    bool is_obscured() const { return m_obscured; }

private:
    bool m_visible = true;
    bool m_obscured = false;
};

} // namespace platform
