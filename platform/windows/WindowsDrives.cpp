#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

namespace quillora {

DriveType WindowsPlatform::driveType(const std::string& root) {
    switch (GetDriveTypeA(root.c_str())) {
    case DRIVE_NO_ROOT_DIR:
        return DriveType::NoRootDir;
    case DRIVE_REMOVABLE:
        return DriveType::Removable;
    case DRIVE_FIXED:
        return DriveType::Fixed;
    case DRIVE_REMOTE:
        return DriveType::Remote;
    case DRIVE_CDROM:
        return DriveType::CdRom;
    case DRIVE_RAMDISK:
        return DriveType::RamDisk;
    default:
        return DriveType::Unknown;
    }
}

} // namespace quillora
