#pragma once

#include "platform/base/Object.h"

#include <string>

namespace platform {

// A document type the application declares to the platform. Converting it to a string
// declares it; changing it or destroying it withdraws the declaration.
class FileType : public Object {
public:
    ~FileType() override;

    const std::string& Name() const { return m_name; }
    void SetName(std::string name);
    const std::string& Extensions() const { return m_extensions; }
    void SetExtensions(std::string extensions);
    const std::string& MacType() const { return m_mac_type; }
    void SetMacType(std::string type);
    const std::string& MacCreator() const { return m_mac_creator; }
    void SetMacCreator(std::string creator);

    // Declares the type if it is not declared, and gives its name.
    std::string ToString();
    bool is_registered() const { return m_registered; }

private:
    void withdraw();

    std::string m_name;
    std::string m_extensions;
    std::string m_mac_type;
    std::string m_mac_creator;
    bool m_registered = false;
};

} // namespace platform
