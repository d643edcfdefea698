// Which drive letters exist, what kind of drive each is (as GetDriveTypeA
// reports it) and which folder each stands for, kept in the registry store:
//
//   [HKEY_LOCAL_MACHINE\Software\Wine\Drives]          ; the types, as Wine has them
//   "d:"="cdrom"
//   [HKEY_LOCAL_MACHINE\Software\Quillora\DriveDirectories]
//   "d:"="/media/cdrom"
//
// Types: "hd" fixed, "cdrom", "network" remote, "floppy" removable, "ramdisk",
// anything else unknown. A letter with a folder but no type is a fixed drive; a
// letter in neither key does not exist (no root folder).
#pragma once

#include "platform/DriveType.h"

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

    // The type of a root such as "d:\" ("d:" and "d:/" do as well).
    DriveType type(const std::string& root) const;
    // The folder drive letter stands for; empty when none is configured.
    std::string directory(char letter) const;
    // name with each backslash as '/' and a leading "d:" replaced by the folder
    // the letter stands for (kept when it stands for none).
    std::string hostForm(const std::string& name) const;

private:
    std::map<char, DriveType> types_;
    std::map<char, std::string> directories_;
};

} // namespace quillora
