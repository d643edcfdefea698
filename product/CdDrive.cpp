#include "product/CdDrive.h"

#include "platform/Platform.h"

namespace quillora {

std::string findCdDrive(Platform& platform) {
    std::string root = "c:\\";
    // 'z' is deliberately not examined.
    for (char letter = 'c'; letter <= 'y'; ++letter) {
        root[0] = letter;
        if (platform.driveType(root) == kDriveCdRom) {
            return root.substr(0, 2);
        }
    }
    return std::string();
}

} // namespace quillora
