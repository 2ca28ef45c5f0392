#pragma once

#include "platform/base/Object.h"

#include <string>

namespace platform {

// Stand-in: a document type the application declares at start-up. The declarations are kept in
// the runtime's own registry; nothing is written to the desktop's file associations. Converting
// it to a string declares it; changing it or destroying it withdraws the declaration.
class FileType : public Object {
public:
    ~FileType() override;

    const std::string& Name() const { return m_name; }
    void SetName(std::string name);
    void SetExtensions(std::string extensions);
    void SetMacType(std::string type);
    void SetMacCreator(std::string creator);

    // Declares the type if it is not declared, and gives its name.
    std::string ToString();

private:
    void withdraw();

    std::string m_name;
    std::string m_extensions;
    std::string m_mac_type;
    std::string m_mac_creator;
    bool m_registered = false;
};

} // namespace platform
