// Which drive letters exist, what kind of drive each is (as GetDriveTypeA
// reports it) and which folder each stands for, kept in the registry store:
//
//   [HKEY_LOCAL_MACHINE\Software\Wine\Drives]          ; the types, as Wine has them
//   "d:"="cdrom"
//   [HKEY_LOCAL_MACHINE\Software\Quillora\DriveDirectories]
//   "d:"="/media/cdrom"
//
// Types: "hd" 3 (fixed), "cdrom" 5, "network" 4, "floppy" 2 (removable),
// "ramdisk" 6, anything else 0 (unknown). A letter with a folder but no type is
// a fixed drive; a letter in neither key does not exist (1, no root folder).
#pragma once

#include <map>
#include <string>

namespace quillora {

class RegistryStore;

constexpr const char* kDriveTypesKey = "Software\\Wine\\Drives";
constexpr const char* kDriveDirectoriesKey = "Software\\Quillora\\DriveDirectories";

class DriveTable {
public:
    DriveTable() = default; // no drives
    explicit DriveTable(const RegistryStore& store);

    // GetDriveTypeA of a root such as "d:\" ("d:" and "d:/" do as well).
    unsigned type(const std::string& root) const;
    // The folder drive letter stands for; empty when none is configured.
    std::string directory(char letter) const;

private:
    std::map<char, unsigned> types_;
    std::map<char, std::string> directories_;
};

} // namespace quillora
