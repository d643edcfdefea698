#include "support/FakePlatform.h"

#include "product/PathMacro.h"
#include "registry/InstallationSettings.h"

#include <cstring>

namespace quillora::testing {

FakePlatform::FakePlatform() {
    resources = {{kHomeValueNameId, kHomeValueName},
                 {kLocalValueNameId, kLocalValueName},
                 {kCdValueNameId, kCdValueName}};
}

FakePlatform::FakePlatform(const FakePlatform& other)
    : Platform(other),
      files(other.files),
      readOnly(other.readOnly),
      registry(other.registry),
      registryDenied(other.registryDenied),
      drives(other.drives),
      hasResources(other.hasResources),
      resources(other.resources),
      currentDirectory(other.currentDirectory),
      openKeys_(other.openKeys_),
      nextHandle_(other.nextHandle_) {}

unsigned FakePlatform::driveType(const std::string& root) {
    if (root.size() != 3 || root[1] != ':' || root[2] != '\\') {
        return kDriveNoRootDir;
    }
    auto it = drives.find(root[0]);
    return it == drives.end() ? kDriveNoRootDir : it->second;
}

std::string FakePlatform::fullPath(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') {
        return path;
    }
    return currentDirectory + "\\" + path;
}

void FakePlatform::splitPath(const std::string& path, std::string& drive, std::string& dir) {
    std::size_t start = 0;
    drive.clear();
    if (path.size() >= 2 && path[1] == ':') {
        drive = path.substr(0, 2);
        start = 2;
    }
    std::size_t last = path.find_last_of("\\/");
    dir = (last == std::string::npos || last < start) ? std::string()
                                                      : path.substr(start, last + 1 - start);
}

long FakePlatform::regOpenKeyEx(RegKey root, const char* subKey, std::uint32_t,
                                std::uint32_t samDesired, RegKey* result) {
    if (root != hkeyLocalMachine()) {
        return kErrorFileNotFound;
    }
    // Only the write rights (KEY_SET_VALUE, KEY_CREATE_SUB_KEY) are denied;
    // KEY_READ shares READ_CONTROL with KEY_WRITE.
    if (registryDenied && (samDesired & 0x6u) != 0) {
        return kErrorAccessDenied;
    }
    std::string path = toLowerAscii(subKey);
    if (registry.count(path) == 0) {
        return kErrorFileNotFound;
    }
    *result = reinterpret_cast<RegKey>(nextHandle_++);
    openKeys_[*result] = path;
    return kErrorSuccess;
}

long FakePlatform::regCreateKeyEx(RegKey root, const char* subKey, std::uint32_t, const char*,
                                  std::uint32_t, std::uint32_t samDesired, RegKey* result,
                                  std::uint32_t* disposition) {
    if (root != hkeyLocalMachine()) {
        return kErrorFileNotFound;
    }
    if (registryDenied) {
        return kErrorAccessDenied;
    }
    std::string path = toLowerAscii(subKey);
    bool existed = registry.count(path) != 0;
    registry[path];
    if (disposition != nullptr) {
        *disposition = existed ? 2u : 1u;
    }
    return regOpenKeyEx(root, subKey, 0, samDesired, result);
}

long FakePlatform::regQueryValueEx(RegKey key, const char* valueName, std::uint32_t* type,
                                   unsigned char* data, std::uint32_t* size) {
    auto open = openKeys_.find(key);
    if (open == openKeys_.end()) {
        return 6; // ERROR_INVALID_HANDLE
    }
    auto& values = registry[open->second];
    auto it = values.find(valueName);
    if (it == values.end()) {
        return kErrorFileNotFound;
    }
    // A value stored as "\x01" stands for a value with no data at all.
    if (it->second == "\x01") {
        *size = 0;
        return kErrorSuccess;
    }
    if (type != nullptr) {
        *type = kRegSz;
    }
    std::uint32_t needed = static_cast<std::uint32_t>(it->second.size() + 1);
    if (*size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    std::memcpy(data, it->second.c_str(), needed);
    *size = needed;
    return kErrorSuccess;
}

long FakePlatform::regCloseKey(RegKey key) {
    return openKeys_.erase(key) == 1 ? kErrorSuccess : 6;
}

std::unique_ptr<ResourceLibrary> FakePlatform::openResourceLibrary(const std::string& name,
                                                                   std::string& error) {
    if (!hasResources) {
        error = "no library " + name;
        return nullptr;
    }
    return std::make_unique<FakeResources>(resources);
}

bool FakePlatform::readFile(const std::string& name, FileBytes& out, std::string& error) {
    auto it = files.find(name);
    if (it == files.end()) {
        error = "no such file: " + name;
        return false;
    }
    out.bytes = it->second;
    out.resolvedPath = name;
    return true;
}

std::map<std::string, std::string>& FakePlatform::productKey() {
    return registry[toLowerAscii("Software\\Tolvane Works\\Quillora")];
}

void FakePlatform::setInstallation(const std::string& home, const std::string& local,
                                   const std::string& cd) {
    auto& values = productKey();
    values[kHomeValueName] = home;
    values[kLocalValueName] = local;
    if (!cd.empty()) {
        values[kCdValueName] = cd;
    }
}

} // namespace quillora::testing
