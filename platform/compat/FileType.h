#pragma once

#include "platform/base/Object.h"

#include <string>

namespace platform {

// Stand-in: a document type the application declares at start-up, to the desktop's services
// (which write nothing to the desktop's file associations: the program opens no documents).
// Converting it to a string declares it; changing it or destroying it withdraws the declaration.
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

// The framework's operations behind a document type: declaring it to the platform, with its
// values in this order, and withdrawing it by name. Nothing is reported back.
void RuntimeRegisterFileType(const std::string& name, const std::string& creator,
                             const std::string& type, const std::string& extensions);
void RuntimeDeregisterFileType(const std::string& name);

} // namespace platform
