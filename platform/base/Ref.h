#pragma once

#include "platform/base/NilObjectException.h"
#include "platform/base/Object.h"

#include <cstddef>
#include <functional>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace platform {

// A counted reference to an Object. Two references are equal when they name the very same
// object. Using a nil reference as an object raises NilObjectException, so callers never
// dereference null.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(T* object) : m_ptr(object) { retain(); }
    Ref(const Ref& other) : m_ptr(other.m_ptr) { retain(); }
    Ref(Ref&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    template <class U>
    requires std::is_convertible_v<U*, T*> Ref(const Ref<U>& other) : m_ptr(other.get()) {
        retain();
    }
    template <class U>
    requires std::is_convertible_v<U*, T*> Ref(Ref<U>&& other)
    noexcept : m_ptr(other.leak()) {}
    ~Ref() { drop(); }

    Ref& operator=(const Ref& other) {
        Ref(other).swap(*this);
        return *this;
    }
    Ref& operator=(Ref&& other) noexcept {
        Ref(std::move(other)).swap(*this);
        return *this;
    }
    Ref& operator=(std::nullptr_t) {
        drop();
        return *this;
    }

    T* get() const { return m_ptr; }
    T& operator*() const { return checked(); }
    T* operator->() const { return &checked(); }
    explicit operator bool() const { return m_ptr != nullptr; }

    // Gives up ownership without releasing; the caller takes over the reference.
    T* leak() { return std::exchange(m_ptr, nullptr); }
    void swap(Ref& other) noexcept { std::swap(m_ptr, other.m_ptr); }

    friend bool operator==(const Ref& a, const Ref& b) { return a.m_ptr == b.m_ptr; }
    friend bool operator==(const Ref& a, std::nullptr_t) { return a.m_ptr == nullptr; }

private:
    T& checked() const {
        if (!m_ptr)
            throw NilObjectException(type_name(typeid(T)) + " used where an object is required");
        return *m_ptr;
    }
    void retain() {
        if (m_ptr)
            m_ptr->add_ref();
    }
    void drop() {
        if (T* p = std::exchange(m_ptr, nullptr))
            p->release();
    }

    T* m_ptr = nullptr;
};

template <class T, class... Args>
Ref<T> make_ref(Args&&... args) {
    return Ref<T>(new T(std::forward<Args>(args)...));
}

// The object as a T, or nil when it is nil or of another class.
template <class T, class U>
Ref<T> ref_cast(const Ref<U>& from) {
    return Ref<T>(dynamic_cast<T*>(from.get()));
}

// The object as a T; nil or another class is a nil-object failure.
template <class T, class U>
Ref<T> checked_cast(const Ref<U>& from) {
    Ref<T> result = ref_cast<T>(from);
    if (!result)
        throw NilObjectException("expected a " + type_name(typeid(T)));
    return result;
}

} // namespace platform

template <class T>
struct std::hash<platform::Ref<T>> {
    size_t operator()(const platform::Ref<T>& r) const noexcept { return std::hash<T*>{}(r.get()); }
};
