#include "platform/posix/formats/DriveTable.h"

#include "text/AsciiCase.h"
#include "platform/posix/formats/RegistryStore.h"

#include <algorithm>

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

DriveType typeOfName(const std::string& name) {
    static const std::map<std::string, DriveType> types = {{"hd", DriveType::Fixed},
                                                           {"cdrom", DriveType::CdRom},
                                                           {"network", DriveType::Remote},
                                                           {"floppy", DriveType::Removable},
                                                           {"ramdisk", DriveType::RamDisk}};
    auto it = types.find(toLowerAscii(name));
    return it == types.end() ? DriveType::Unknown : it->second;
}

} // namespace

DriveTable::DriveTable(const RegistryStore& store) {
    for (const auto& [name, folder] : store.stringValues(kDriveDirectoriesKey)) {
        if (char letter = driveLetter(name, false)) {
            directories_[letter] = folder;
            types_.emplace(letter, DriveType::Fixed);
        }
    }
    for (const auto& [name, type] : store.stringValues(kDriveTypesKey)) {
        if (char letter = driveLetter(name, false)) {
            types_[letter] = typeOfName(type);
        }
    }
}

DriveType DriveTable::type(const std::string& root) const {
    auto it = types_.find(driveLetter(root, true));
    return it == types_.end() ? DriveType::NoRootDir : it->second;
}

std::string DriveTable::directory(char letter) const {
    auto it = directories_.find(lowerAsciiChar(letter));
    return it == directories_.end() ? std::string() : it->second;
}

std::string DriveTable::hostForm(const std::string& name) const {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string folder = path.size() >= 2 && path[1] == ':' ? directory(path[0]) : std::string();
    if (folder.empty()) {
        return path;
    }
    std::string rest = path.substr(2);
    rest.erase(0, rest.find_first_not_of('/'));
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return rest.empty() ? folder : folder + (folder == "/" ? "" : "/") + rest;
}

} // namespace quillora
