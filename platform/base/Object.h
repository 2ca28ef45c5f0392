#pragma once

#include <cstdint>

namespace platform {

// Base of every counted object: windows, controls, pictures, sounds, menus. The count is
// intrusive so that an object can hand out references to itself from inside its own handlers.
class Object {
public:
    Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object();

    void add_ref() const { ++m_ref_count; }
    void release() const;
    int32_t ref_count() const { return m_ref_count; }

    // Number of counted objects alive in the process; tests use it to find leaks.
    static int64_t live_count();

protected:
    Object(Object&&) = delete;

private:
    mutable int32_t m_ref_count = 0;
};

} // namespace platform
