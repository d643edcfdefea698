#include "platform/posix/DriveTable.h"

#include "platform/AsciiCase.h"
#include "platform/Platform.h"
#include "platform/posix/PosixPlatform.h"
#include "platform/posix/RegistryStore.h"

namespace quillora {

namespace {

// The lower-case letter of a drive name "d:" or root "d:\"; 0 when it is none.
char driveLetter(const std::string& name, bool allowSeparator) {
    bool shape = (name.size() == 2 ||
                  (allowSeparator && name.size() == 3 && (name[2] == '\\' || name[2] == '/'))) &&
                 name[1] == ':';
    char letter = shape ? lowerAsciiChar(name[0]) : '\0';
    return (letter >= 'a' && letter <= 'z') ? letter : '\0';
}

unsigned typeOfName(const std::string& name) {
    static const std::map<std::string, unsigned> types = {{"hd", kDriveFixed},
                                                          {"cdrom", kDriveCdRom},
                                                          {"network", kDriveRemote},
                                                          {"floppy", kDriveRemovable},
                                                          {"ramdisk", 6}};
    auto it = types.find(toLowerAscii(name));
    return it == types.end() ? kDriveUnknown : it->second;
}

} // namespace

DriveTable::DriveTable(const RegistryStore& store) {
    for (const auto& [name, folder] : store.stringValues(kDriveDirectoriesKey)) {
        if (char letter = driveLetter(name, false)) {
            directories_[letter] = folder;
            types_.emplace(letter, kDriveFixed);
        }
    }
    for (const auto& [name, type] : store.stringValues(kDriveTypesKey)) {
        if (char letter = driveLetter(name, false)) {
            types_[letter] = typeOfName(type);
        }
    }
}

unsigned DriveTable::type(const std::string& root) const {
    auto it = types_.find(driveLetter(root, true));
    return it == types_.end() ? kDriveNoRootDir : it->second;
}

std::string DriveTable::directory(char letter) const {
    auto it = directories_.find(lowerAsciiChar(letter));
    return it == directories_.end() ? std::string() : it->second;
}

DriveTable PosixPlatform::drives() {
    return loadStore() == kErrorSuccess ? DriveTable(store_) : DriveTable();
}

unsigned PosixPlatform::driveType(const std::string& root) {
    return drives().type(root);
}

} // namespace quillora
