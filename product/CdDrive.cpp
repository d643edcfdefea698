#include "product/CdDrive.h"

#include "platform/Installation.h"

namespace quillora {

std::string findCdDrive(Installation& installation) {
    std::string root = "c:\\";
    // 'z' is deliberately not examined.
    for (char letter = 'c'; letter <= 'y'; ++letter) {
        root[0] = letter;
        if (installation.driveType(root) == DriveType::CdRom) {
            return root.substr(0, 2);
        }
    }
    return std::string();
}

} // namespace quillora
