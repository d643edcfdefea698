// The registry calls of the POSIX platform, on the store file.
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixPlatform.h"
#include "platform/posix/formats/DriveTable.h"

#include "platform/posix/TrustedPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora {

namespace {

// Far beyond any product key and drive table, and checked before memory is taken.
constexpr off_t kLargestStore = 64 << 20;
constexpr const char* kNoStore = "there is no store file (set QUILLORA_REGISTRY)";
// Why a key cannot be made, after why the store cannot be written.
constexpr const char* kWriteDenied = ", so write access is denied";

// Tells a file apart from the one read before, also when it was replaced.
std::string stampOf(const struct stat& info) {
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" +
           std::to_string(info.st_size) + ":" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}

std::string failureText(const std::string& what, const std::string& path, int failure) {
    return what + " " + path + ": " + std::strerror(failure);
}

// A system refusal denies access; any other failure is a store that cannot be used.
Status storeFailure(int failure, std::string reason) {
    return Status::failed(refusedAccess(failure) ? Failure::AccessDenied : Failure::Misconfigured,
                          std::move(reason));
}

Status unusable(std::string reason) {
    return Status::failed(Failure::Misconfigured, std::move(reason));
}

} // namespace

Status PosixPlatform::openStoreFolder(bool create) {
    PathRule rule = ruleForThisUser();
    rule.createFolders = create;
    Expected<ResolvedFile> file = resolveFile(settings_.registryFile, rule);
    if (file) {
        storeFolder_ = std::move(file->folder);
        storeName_ = file->name;
        return Status();
    }
    const Status& why = file.status();
    switch (why.failure()) {
    case Failure::NotFound:
        // Only the default location is made when first written.
        return Status::failed(settings_.createRegistryFolder ? Failure::NotFound
                                                             : Failure::Misconfigured,
                              why.reason());
    case Failure::AccessDenied:
        // Only the system's own refusals are the Windows "no rights to the key".
        return why;
    default:
        return unusable(why.reason());
    }
}

Status PosixPlatform::loadStore() {
    const std::string& path = settings_.registryFile;
    std::string stamp = "none";
    struct stat info {};
    if (!path.empty() && !storeFolder_.isOpen()) {
        Status opened = openStoreFolder(false);
        // A default store not made yet is an empty registry.
        if (!opened && opened.failure() != Failure::NotFound) {
            return opened;
        }
    }
    if (storeFolder_.isOpen()) {
        if (::fstatat(storeFolder_.get(), storeName_.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            stamp = stampOf(info);
        } else if (errno != ENOENT) {
            const int failure = errno;
            return storeFailure(failure, failureText("cannot examine", path, failure));
        }
    }
    if (stamp == storeStamp_) {
        return Status();
    }
    RegistryStore store;
    if (stamp != "none") {
        std::string bytes;
        Status read = readStore(bytes, stamp);
        if (!read) {
            return read;
        }
        const Status parsed = store.parse(bytes);
        if (!parsed) {
            return unusable(path + ": " + parsed.reason());
        }
    }
    // A missing file is an empty registry.
    store_ = std::move(store);
    storeStamp_ = stamp;
    return Status();
}

Status PosixPlatform::readStore(std::string& bytes, std::string& stamp) {
    const std::string& path = settings_.registryFile;
    // Never through a link, and never waiting at a FIFO put in its place.
    FileDescriptor fd(::openat(storeFolder_.get(), storeName_.c_str(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!fd.isOpen() || ::fstat(fd.get(), &info) != 0) {
        const int failure = errno;
        return storeFailure(failure, failureText("cannot open", path, failure));
    }
    if (!S_ISREG(info.st_mode)) {
        return unusable(path + " is not a regular file");
    }
    const Status trust = trusted(info, ruleForThisUser(), path);
    if (!trust) {
        return unusable(trust.reason());
    }
    if (info.st_size > kLargestStore) {
        return unusable(path + " is larger than a store can be (64 MiB)");
    }
    stamp = stampOf(info);
    if (!readOpenFile(fd.get(), static_cast<std::size_t>(info.st_size), bytes) ||
        bytes.size() > static_cast<std::size_t>(kLargestStore)) {
        return unusable(failureText("cannot read", path, errno));
    }
    return Status();
}

namespace {

// Whether this user may change the store is the system's to say (root may
// write a 0444 file), so it is asked with the open itself. 0 when the store may
// be written, with old set when there is one to replace; else the errno.
int probeStore(int folder, const std::string& name, std::optional<struct stat>& old) {
    FileDescriptor probe(
        ::openat(folder, name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!probe.isOpen()) {
        return errno == ENOENT ? 0 : errno;
    }
    struct stat info {};
    if (::fstat(probe.get(), &info) == 0) {
        old = info;
    }
    return 0;
}

// Writes bytes to the new file staged, flushed to the disk with the old store's
// mode, and puts it at name in one step. 0, or the errno of the step that
// failed; the staged file is then removed.
int replaceStore(int folder, const std::string& staged, const std::string& name,
                 const std::string& bytes, const std::optional<struct stat>& old) {
    int failure = 0;
    // Each step while none has failed; failure keeps why.
    auto step = [&](auto call) {
        if (failure == 0 && !call()) {
            failure = errno != 0 ? errno : EIO;
        }
        return failure == 0;
    };
    FileDescriptor fd;
    const bool made = step([&] {
        fd.reset(::openat(folder, staged.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        return fd.isOpen();
    });
    const bool written =
        made && step([&] {
            for (std::size_t done = 0; done < bytes.size();) {
                ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
                if (n < 0 && errno != EINTR) {
                    return false;
                }
                done += n > 0 ? static_cast<std::size_t>(n) : 0;
            }
            return !old || ::fchmod(fd.get(), old->st_mode & 0777) == 0;
        }) &&
        step([&] { return ::fdatasync(fd.get()) == 0; }) &&
        step([&] { return ::fsync(fd.get()) == 0; }) &&
        step([&] { return ::renameat(folder, staged.c_str(), folder, name.c_str()) == 0; });
    if (made && !written) {
        ::unlinkat(folder, staged.c_str(), 0);
    }
    if (written) {
        step([&] { return ::fsync(folder) == 0; });
    }
    return failure;
}

} // namespace

Status PosixPlatform::saveStore(const std::string& bytes) {
    const std::string& path = settings_.registryFile;
    if (path.empty()) {
        return Status::failed(Failure::AccessDenied, kNoStore);
    }
    if (!storeFolder_.isOpen()) {
        Status opened = openStoreFolder(true);
        if (!opened) {
            return opened;
        }
    }
    std::optional<struct stat> old;
    int failure = probeStore(storeFolder_.get(), storeName_, old);
    if (failure == 0) {
        const std::string staged = storeName_ + ".quillora-" + files_.randomHex().substr(0, 16);
        failure = replaceStore(storeFolder_.get(), staged, storeName_, bytes, old);
    }
    if (failure != 0) {
        return storeFailure(failure, failureText("cannot write", path, failure));
    }
    return Status();
}

namespace {

// An open key is its path; each read sees the store as the file now holds it.
class PosixKey : public OpenKey {
public:
    PosixKey(PosixPlatform& platform, std::string path)
        : platform_(platform), path_(std::move(path)) {}
    Expected<std::string> readValue(const std::string& name) override {
        return platform_.readValue(path_, name);
    }

private:
    PosixPlatform& platform_;
    const std::string path_;
};

} // namespace

Expected<std::unique_ptr<OpenKey>> PosixPlatform::openKey(const std::string& path, bool create) {
    if (!path.empty() && path[0] == '\\') {
        return Status::failed(Failure::BadPath, std::string());
    }
    Status status = loadStore();
    if (!status) {
        return status;
    }
    // A key that is there is read as it is: nothing needs writing then.
    if (!store_.hasKey(path)) {
        if (!create) {
            return Status::failed(Failure::NotFound, std::string());
        }
        // Created keys are written at once, as Windows keeps them.
        RegistryStore grown = store_;
        grown.addKey(path);
        storeStamp_.clear();
        status = saveStore(grown.serialize());
        if (status.failure() == Failure::AccessDenied) {
            return Status::failed(Failure::AccessDenied, status.reason() + kWriteDenied);
        }
        if (!status) {
            return status;
        }
    }
    return std::unique_ptr<OpenKey>(std::make_unique<PosixKey>(*this, path));
}

// What saveStore would be refused, asked of the system as its open asks: root
// may write a 0444 file. A default store whose folder is not made yet counts
// as one that can be made.
Status PosixPlatform::mayCreateKey(const std::string&) {
    const std::string& path = settings_.registryFile;
    if (path.empty()) {
        return Status::failed(Failure::AccessDenied, kNoStore);
    }
    if (!storeFolder_.isOpen()) {
        return Status();
    }
    const int folder = storeFolder_.get();
    int failure = 0;
    if (::faccessat(folder, storeName_.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT) {
        failure = errno;
    } else if (::faccessat(folder, ".", W_OK | X_OK, AT_EACCESS) != 0) {
        failure = errno; // the new store is made beside the old one
    }
    if (failure == 0) {
        return Status();
    }
    if (!refusedAccess(failure)) {
        return unusable(failureText("cannot write", path, failure));
    }
    return Status::failed(Failure::AccessDenied,
                          failureText("cannot write", path, failure) + kWriteDenied);
}

Expected<std::string> PosixPlatform::readValue(const std::string& keyPath,
                                               const std::string& name) {
    Status status = loadStore();
    if (!status) {
        return status;
    }
    if (!store_.hasKey(keyPath)) {
        // The file changed under the open key.
        return Status::failed(Failure::KeyDeleted, std::string());
    }
    RegistryValue value;
    if (!store_.findValue(keyPath, name, value)) {
        return Status::failed(Failure::NotFound, std::string());
    }
    return std::move(value.data);
}

DriveTable PosixPlatform::drives() {
    return loadStore().ok() ? DriveTable(store_) : DriveTable();
}

DriveType PosixPlatform::driveType(const std::string& root) {
    return drives().type(root);
}

std::string PosixPlatform::registryLocation() const {
    return "registry store " + (settings_.registryFile.empty() ? "(none)" : settings_.registryFile);
}

} // namespace quillora
