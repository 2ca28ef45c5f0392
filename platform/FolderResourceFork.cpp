#include "platform/FolderResourceFork.h"

#include "platform/PngDecoder.h"
#include "platform/ProgramLocation.h"
#include "platform/Runtime.h"
#include "platform/WavDecoder.h"

#include <fstream>
#include <iostream>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

Ref<ResourceFork> appResourceForkGetter() {
    return Runtime::exists() ? Runtime::current().resource_fork() : nullptr;
}

FolderResourceFork::FolderResourceFork(fs::path folder) : m_folder(std::move(folder)) {}

void FolderResourceFork::report_once(const char* kind, int32_t id, const std::string& why) {
    if (m_reported.insert({kind, id}).second)
        std::cerr << "quorvane: " << kind << " " << id << ": " << why << std::endl;
}

std::optional<std::vector<uint8_t>> FolderResourceFork::read(const fs::path& file, const char* kind,
                                                             int32_t id) {
    std::error_code ec;
    uintmax_t size = fs::file_size(file, ec);
    if (ec) {
        report_once(kind, id, file.string() + ": " + ec.message());
        return std::nullopt;
    }
    if (size > kMaxFileBytes) {
        report_once(kind, id, file.string() + ": file too large");
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
        report_once(kind, id, file.string() + ": cannot be read");
        return std::nullopt;
    }
    return bytes;
}

Ref<Picture> FolderResourceFork::GetPicture(int32_t id) {
    fs::path file = m_folder / "pictures" / (std::to_string(id) + ".png");
    std::optional<std::vector<uint8_t>> bytes = read(file, "picture", id);
    if (!bytes)
        return nullptr;
    std::string error;
    std::optional<Image> image = PngDecoder::decode(*bytes, error);
    if (!image) {
        report_once("picture", id, file.string() + ": " + error);
        return nullptr;
    }
    return make_ref<Picture>(std::move(*image));
}

Ref<Sound> FolderResourceFork::GetSound(int32_t id) {
    fs::path file = m_folder / "sounds" / (std::to_string(id) + ".wav");
    std::optional<std::vector<uint8_t>> bytes = read(file, "sound", id);
    if (!bytes)
        return nullptr;
    std::string error;
    std::optional<PcmSound> pcm = WavDecoder::decode(*bytes, error);
    if (!pcm) {
        report_once("sound", id, file.string() + ": " + error);
        return nullptr;
    }
    return make_ref<Sound>(std::make_shared<const PcmSound>(std::move(*pcm)),
                           "sound " + std::to_string(id));
}

std::vector<fs::path> FolderResourceFork::candidates(const fs::path& executable) {
    return ProgramLocation::candidates(executable, "media", fs::path("quorvane") / "media");
}

std::optional<fs::path> FolderResourceFork::locate(const fs::path& executable) {
    for (const fs::path& c : candidates(executable)) {
        std::error_code ec;
        if (fs::is_directory(c / "pictures", ec) || fs::is_directory(c / "sounds", ec))
            return c;
    }
    return std::nullopt;
}

} // namespace platform
