#include "platform/posix/formats/PathParts.h"
#include "platform/posix/PosixPlatform.h"

#include <filesystem>

namespace quillora {

std::string PosixPlatform::fullPath(const std::string& path) {
    std::error_code lost; // "" when the folder is gone
    return foldedFullPath(path, std::filesystem::current_path(lost).string());
}

void PosixPlatform::splitPath(const std::string& path, std::string& drive, std::string& dir) {
    splitPathParts(path, drive, dir);
}

} // namespace quillora
