#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

namespace quillora {

unsigned WindowsPlatform::driveType(const std::string& root) {
    return GetDriveTypeA(root.c_str());
}

} // namespace quillora
