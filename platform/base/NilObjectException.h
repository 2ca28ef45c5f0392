#pragma once

#include <stdexcept>
#include <string>
#include <typeinfo>

namespace platform {

// Raised wherever nil is used where an object is required. It ends the handler it is raised
// in; the event dispatch reports it and the loop goes on.
class NilObjectException : public std::runtime_error {
public:
    explicit NilObjectException(const std::string& what);
};

// Readable class name for messages ("platform::Sound").
std::string type_name(const std::type_info& type);

} // namespace platform
