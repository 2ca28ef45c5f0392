#include "platform/compat/FileType.h"

#include "platform/Runtime.h"

namespace platform {

FileType::~FileType() {
    withdraw();
}

void FileType::withdraw() {
    if (!m_registered)
        return;
    m_registered = false;
    if (Runtime::exists())
        RuntimeDeregisterFileType(m_name);
}

void FileType::SetName(std::string name) {
    withdraw();
    m_name = std::move(name);
}

void FileType::SetExtensions(std::string extensions) {
    withdraw();
    m_extensions = std::move(extensions);
}

void FileType::SetMacType(std::string type) {
    withdraw();
    m_mac_type = std::move(type);
}

void FileType::SetMacCreator(std::string creator) {
    withdraw();
    m_mac_creator = std::move(creator);
}

std::string FileType::ToString() {
    if (!m_registered) {
        RuntimeRegisterFileType(m_name, m_mac_creator, m_mac_type, m_extensions);
        m_registered = true;
    }
    return m_name;
}

} // namespace platform
