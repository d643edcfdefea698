#include "platform/windows/WindowsPlatform.h"

#include <cstdlib>
#include <vector>

namespace quillora {

std::string WindowsPlatform::fullPath(const std::string& path) {
    char buffer[_MAX_PATH];
    if (_fullpath(buffer, path.c_str(), sizeof buffer) == nullptr) {
        return std::string();
    }
    return buffer;
}

void WindowsPlatform::splitPath(const std::string& path, std::string& drive, std::string& dir) {
    // _splitpath trusts its buffers: make them as long as the path itself.
    std::vector<char> driveBuffer(path.size() + _MAX_DRIVE, '\0');
    std::vector<char> dirBuffer(path.size() + 1, '\0');
    _splitpath(path.c_str(), driveBuffer.data(), dirBuffer.data(), nullptr, nullptr);
    drive = driveBuffer.data();
    dir = dirBuffer.data();
}

} // namespace quillora
