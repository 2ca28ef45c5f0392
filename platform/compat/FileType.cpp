#include "platform/compat/FileType.h"

#include "platform/sound/DesktopServices.h"

namespace platform {

FileType::~FileType() {
    withdraw();
}

void FileType::withdraw() {
    if (!m_registered)
        return;
    m_registered = false;
    // One the program still holds after the runtime ended has no desktop to withdraw from.
    if (Current<DesktopServices>::find())
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

void RuntimeRegisterFileType(const std::string& name, const std::string& creator,
                             const std::string& type, const std::string& extensions) {
    DesktopServices::current().declare_document_type({name, creator, type, extensions});
}

void RuntimeDeregisterFileType(const std::string& name) {
    DesktopServices::current().withdraw_document_type(name);
}

} // namespace platform
