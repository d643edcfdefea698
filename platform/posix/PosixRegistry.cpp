// The registry calls of the POSIX platform, on the store file.
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixPlatform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace quillora {

namespace {

constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorBadPathname = 161;
constexpr long kErrorBadDb = 1009; // "The configuration registry database is corrupt."
constexpr long kErrorKeyDeleted = 1018;

constexpr std::uint32_t kRegCreatedNewKey = 1;
constexpr std::uint32_t kRegOpenedExistingKey = 2;

// KEY_SET_VALUE, KEY_CREATE_SUB_KEY, KEY_CREATE_LINK, DELETE, WRITE_DAC,
// WRITE_OWNER, GENERIC_ALL and GENERIC_WRITE: the rights that change a key.
constexpr std::uint32_t kWriteRights =
    0x0002 | 0x0004 | 0x0020 | 0x00010000 | 0x00040000 | 0x00080000 | 0x10000000 | 0x40000000;

// Tells a file apart from the one read before, also when it was replaced.
std::string stampOf(const struct stat& info) {
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" +
           std::to_string(info.st_size) + ":" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

// The file a symbolic link leads to, so that replacing the store keeps the link.
std::string linkTarget(const std::string& path) {
    char* target = ::realpath(path.c_str(), nullptr);
    if (target == nullptr) {
        return path; // not there yet
    }
    std::string resolved = target;
    std::free(target);
    return resolved;
}

} // namespace

long PosixPlatform::loadStore() {
    const std::string& path = settings_.registryFile;
    std::string stamp = "none";
    struct stat info {};
    if (!path.empty()) {
        if (::stat(path.c_str(), &info) == 0) {
            stamp = stampOf(info);
        } else if (errno != ENOENT) {
            registryProblem_ = path + ": " + std::strerror(errno);
            return kErrorAccessDenied;
        }
    }
    if (storeLoaded_ && stamp == storeStamp_) {
        return kErrorSuccess;
    }
    RegistryStore store;
    if (stamp != "none") {
        std::string bytes;
        std::string error;
        int failure = readHostFile(path, bytes, error);
        if (failure != 0) {
            registryProblem_ = error;
            return failure == EACCES ? kErrorAccessDenied : kErrorBadDb;
        }
        if (!store.parse(bytes, error)) {
            registryProblem_ = path + ": " + error;
            return kErrorBadDb;
        }
    }
    // A missing file is an empty registry.
    store_ = std::move(store);
    storeStamp_ = stamp;
    storeLoaded_ = true;
    return kErrorSuccess;
}

bool PosixPlatform::storeWritable() {
    const std::string& path = settings_.registryFile;
    if (path.empty()) {
        registryProblem_ = "there is no store file (set QUILLORA_REGISTRY)";
        return false;
    }
    if (settings_.createRegistryFolder) {
        std::error_code ignored; // a failure shows in the test below
        std::filesystem::create_directories(directoryOf(path), ignored);
    }
    std::string why;
    if (!canReplaceFile(path, why)) {
        registryProblem_ = why + ", so write access is denied";
        return false;
    }
    return true;
}

long PosixPlatform::keyPathOf(RegKey root, const char* subKey, std::string& path) const {
    std::string base;
    if (root != hkeyLocalMachine()) {
        auto it = openKeys_.find(root);
        if (it == openKeys_.end()) {
            return kErrorInvalidHandle;
        }
        base = it->second;
    }
    std::string sub = subKey == nullptr ? std::string() : subKey;
    if (!sub.empty() && sub[0] == '\\') {
        return kErrorBadPathname; // as Windows: a subkey path never begins with one
    }
    path = base.empty() ? sub : sub.empty() ? base : base + "\\" + sub;
    return kErrorSuccess;
}

RegKey PosixPlatform::newHandle(const std::string& path) {
    RegKey handle = reinterpret_cast<RegKey>(nextHandle_++);
    openKeys_[handle] = path;
    return handle;
}

long PosixPlatform::regOpenKeyEx(RegKey root, const char* subKey, std::uint32_t,
                                 std::uint32_t samDesired, RegKey* result) {
    registryProblem_.clear();
    std::string path;
    long status = result == nullptr ? kErrorInvalidParameter : keyPathOf(root, subKey, path);
    if (status == kErrorSuccess) {
        status = loadStore();
    }
    if (status == kErrorSuccess && !store_.hasKey(path)) {
        status = kErrorFileNotFound;
    }
    if (status == kErrorSuccess && (samDesired & kWriteRights) != 0 && !storeWritable()) {
        status = kErrorAccessDenied;
    }
    if (status == kErrorSuccess) {
        *result = newHandle(path);
    }
    return status;
}

long PosixPlatform::regCreateKeyEx(RegKey root, const char* subKey, std::uint32_t, const char*,
                                   std::uint32_t, std::uint32_t samDesired, RegKey* result,
                                   std::uint32_t* disposition) {
    registryProblem_.clear();
    std::string path;
    long status = result == nullptr ? kErrorInvalidParameter : keyPathOf(root, subKey, path);
    if (status == kErrorSuccess) {
        status = loadStore();
    }
    if (status != kErrorSuccess) {
        return status;
    }
    bool exists = store_.hasKey(path);
    if ((!exists || (samDesired & kWriteRights) != 0) && !storeWritable()) {
        return kErrorAccessDenied;
    }
    if (!exists) {
        // Created keys are written at once, as Windows keeps them.
        store_.addKey(path);
        storeLoaded_ = false;
        std::string error;
        if (!replaceFile(linkTarget(settings_.registryFile), store_.serialize(), error)) {
            registryProblem_ = error;
            return kErrorAccessDenied;
        }
    }
    if (disposition != nullptr) {
        *disposition = exists ? kRegOpenedExistingKey : kRegCreatedNewKey;
    }
    *result = newHandle(path);
    return kErrorSuccess;
}

long PosixPlatform::regQueryValueEx(RegKey key, const char* valueName, std::uint32_t* type,
                                    unsigned char* data, std::uint32_t* size) {
    auto it = openKeys_.find(key);
    if (it == openKeys_.end()) {
        return kErrorInvalidHandle;
    }
    if (data != nullptr && size == nullptr) {
        return kErrorInvalidParameter;
    }
    long status = loadStore();
    if (status != kErrorSuccess) {
        return status;
    }
    if (!store_.hasKey(it->second)) {
        return kErrorKeyDeleted; // the file changed under the open key
    }
    RegistryValue value;
    if (!store_.findValue(it->second, valueName == nullptr ? "" : valueName, value)) {
        return kErrorFileNotFound;
    }
    if (type != nullptr) {
        *type = value.type;
    }
    auto needed = static_cast<std::uint32_t>(value.data.size());
    if (data != nullptr && *size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    if (data != nullptr) {
        std::memcpy(data, value.data.data(), needed);
    }
    if (size != nullptr) {
        *size = needed;
    }
    return kErrorSuccess;
}

long PosixPlatform::regCloseKey(RegKey key) {
    return openKeys_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

std::string PosixPlatform::registryNote() const {
    std::string note =
        "registry store " + (settings_.registryFile.empty() ? "(none)" : settings_.registryFile);
    return registryProblem_.empty() ? note : note + ": " + registryProblem_;
}

} // namespace quillora
