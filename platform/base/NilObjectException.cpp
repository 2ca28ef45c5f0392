#include "platform/base/NilObjectException.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>

namespace platform {

NilObjectException::NilObjectException(const std::string& what)
    : std::runtime_error("nil object: " + what) {
}

std::string type_name(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

} // namespace platform
