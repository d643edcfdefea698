// Placeholder stand-ins, replaced by the registry store, drive table and
// resource file.
#include "platform/posix/PosixPlatform.h"

#include <algorithm>

namespace quillora {

PosixPlatform::PosixPlatform() = default;
PosixPlatform::~PosixPlatform() = default;

unsigned PosixPlatform::driveType(const std::string&) { return kDriveNoRootDir; }

std::string PosixPlatform::hostPath(const std::string& name) {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

long PosixPlatform::regOpenKeyEx(RegKey, const char*, std::uint32_t, std::uint32_t, RegKey*) {
    return kErrorAccessDenied;
}

long PosixPlatform::regCreateKeyEx(RegKey, const char*, std::uint32_t, const char*, std::uint32_t,
                                   std::uint32_t, RegKey*, std::uint32_t*) {
    return kErrorAccessDenied;
}

long PosixPlatform::regQueryValueEx(RegKey, const char*, std::uint32_t*, unsigned char*,
                                    std::uint32_t*) {
    return kErrorFileNotFound;
}

long PosixPlatform::regCloseKey(RegKey) { return kErrorSuccess; }

std::unique_ptr<ResourceLibrary> PosixPlatform::openResourceLibrary(const std::string& name,
                                                                    std::string& error) {
    error = "no resource library " + name;
    return nullptr;
}

std::unique_ptr<Platform> makeHostPlatform() { return std::make_unique<PosixPlatform>(); }

} // namespace quillora
