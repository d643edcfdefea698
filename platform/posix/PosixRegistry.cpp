// The registry calls of the POSIX platform, on the store file.
#include "common/DriveTable.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixPlatform.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace quillora {

namespace {

// Tells a file apart from the one read before, also when it was replaced.
std::string stampOf(const struct stat& info) {
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" +
           std::to_string(info.st_size) + ":" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

// The file a symbolic link leads to, so that replacing the store keeps the link.
std::string linkTarget(const std::string& path) {
    std::error_code missing;
    std::filesystem::path target = std::filesystem::canonical(path, missing);
    return missing ? path : target.string(); // not there yet: the path itself
}

} // namespace

RegistryStatus PosixPlatform::loadStore() {
    const std::string& path = settings_.registryFile;
    std::string stamp = "none";
    struct stat info {};
    if (!path.empty()) {
        if (::stat(path.c_str(), &info) == 0) {
            stamp = stampOf(info);
        } else if (errno != ENOENT) {
            registryProblem_ = path + ": " + std::strerror(errno);
            return RegistryStatus::AccessDenied;
        }
    }
    if (stamp == storeStamp_) {
        return RegistryStatus::Ok;
    }
    RegistryStore store;
    if (stamp != "none") {
        std::string bytes;
        std::string error;
        int failure = readHostFile(path, bytes, error);
        if (failure != 0) {
            registryProblem_ = error;
            return failure == EACCES ? RegistryStatus::AccessDenied : RegistryStatus::Unreadable;
        }
        if (!store.parse(bytes, error)) {
            registryProblem_ = path + ": " + error;
            return RegistryStatus::Unreadable;
        }
    }
    // A missing file is an empty registry.
    store_ = std::move(store);
    storeStamp_ = stamp;
    return RegistryStatus::Ok;
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

namespace {

// An open key is its path; each read sees the store as the file now holds it.
class PosixKey : public OpenKey {
public:
    PosixKey(PosixPlatform& platform, std::string path)
        : platform_(platform), path_(std::move(path)) {}
    RegistryStatus readValue(const std::string& name, std::string& data) override {
        return platform_.readValue(path_, name, data);
    }

private:
    PosixPlatform& platform_;
    const std::string path_;
};

} // namespace

std::unique_ptr<OpenKey> PosixPlatform::openKey(const std::string& path, bool create,
                                                RegistryStatus& status) {
    registryProblem_.clear();
    status = !path.empty() && path[0] == '\\' ? RegistryStatus::BadPath : loadStore();
    if (status != RegistryStatus::Ok) {
        return nullptr;
    }
    bool exists = store_.hasKey(path);
    if (!exists && !create) {
        status = RegistryStatus::NotFound;
    } else if (!storeWritable()) {
        status = RegistryStatus::AccessDenied;
    } else if (!exists) {
        // Created keys are written at once, as Windows keeps them.
        store_.addKey(path);
        storeStamp_.clear();
        std::string error;
        if (!replaceFile(ResolvedPath(linkTarget(settings_.registryFile)), store_.serialize(),
                         error)) {
            registryProblem_ = error;
            status = RegistryStatus::AccessDenied;
        }
    }
    return status == RegistryStatus::Ok ? std::make_unique<PosixKey>(*this, path) : nullptr;
}

RegistryStatus PosixPlatform::readValue(const std::string& keyPath, const std::string& name,
                                        std::string& data) {
    RegistryStatus status = loadStore();
    RegistryValue value;
    if (status != RegistryStatus::Ok) {
        return status;
    }
    if (!store_.hasKey(keyPath)) {
        return RegistryStatus::KeyDeleted; // the file changed under the open key
    }
    if (!store_.findValue(keyPath, name, value)) {
        return RegistryStatus::NotFound;
    }
    data = std::move(value.data);
    return RegistryStatus::Ok;
}

DriveTable PosixPlatform::drives() {
    return loadStore() == RegistryStatus::Ok ? DriveTable(store_) : DriveTable();
}

DriveType PosixPlatform::driveType(const std::string& root) {
    return drives().type(root);
}

std::string PosixPlatform::registryNote() const {
    std::string note =
        "registry store " + (settings_.registryFile.empty() ? "(none)" : settings_.registryFile);
    return registryProblem_.empty() ? note : note + ": " + registryProblem_;
}

} // namespace quillora
