#include "platform/posix/PosixFiles.h"

#include "common/HexText.h"
#include "platform/posix/PosixPlatform.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora {

namespace {

std::string errnoText(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// Says in error what failed on path and why; errno, kept.
int failed(const char* what, const std::string& path, std::string& error) {
    const int failure = errno;
    error = errnoText(what, path);
    return errno = failure;
}

// Closes a descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t left) {
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool isReadOnly(const std::string& path, const struct stat& info) {
    return (info.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0;
}

// A staged file is on the disk before it replaces its target. Where the
// system allows, its writing out is only started when it is written (Flush) and
// waited for (Sync) once the run has written all its files, before any is put in
// place: by then the disk has done it. Waiting for each file right after
// writing it took longer than reading and writing all its records.
bool startFlush(int fd) {
#ifdef __linux__
    return ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE) == 0;
#else
    return ::fsync(fd) == 0;
#endif
}

// Reads the regular file open at fd. 0, or the errno value of the failure.
int readDescriptor(int fd, const std::string& path, std::string& bytes, std::string& error) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return failed("cannot examine", path, error);
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a regular file: " + path;
        return EISDIR;
    }
    return readOpenFile(fd, static_cast<std::size_t>(info.st_size), bytes)
               ? 0
               : failed("cannot read", path, error);
}

// Opens path for reading (with extra flags) and waits for it to be on the disk.
bool syncOpened(const std::string& path, int flags) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags));
    return fd.get() >= 0 && ::fsync(fd.get()) == 0;
}

std::string identityOf(const struct stat& info) {
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

class PosixLock : public LibraryLock {
public:
    explicit PosixLock(int fd) : fd_(fd) {}

private:
    FileDescriptor fd_; // closing it drops the lock
};

} // namespace

template <typename Call>
bool HostFileSystem::attempt(FileOperation operation, const char* what, const std::string& path,
                             std::string& error, Call call) const {
    if (int injected = fault(operation)) {
        errno = injected;
    } else if (call()) {
        return true;
    }
    failed(what, path, error);
    return false;
}

namespace {

// Writes content into the new file fd, gives it the permissions of the file it
// replaces (when there is one) and starts its writing out.
bool fill(const HostFileSystem& files, int fd, const std::string& path, const NewContent& content,
          const struct stat* replaced, std::string& error) {
    // An injected failure is a short write: half of the first piece reaches the disk.
    const int failure = files.fault(FileOperation::Write);
    const bool written = content([fd, failure](std::string_view piece) {
        return writeAll(fd, piece.data(), failure != 0 ? piece.size() / 2 : piece.size()) &&
               failure == 0;
    });
    if (!written || failure != 0) {
        errno = failure != 0 ? failure : errno;
        error = errnoText("cannot write", path);
        return false;
    }
    if (replaced != nullptr && ::fchmod(fd, replaced->st_mode & 07777) != 0) {
        error = errnoText("cannot set the permissions of", path);
        return false;
    }
    return files.attempt(FileOperation::Flush, "cannot flush", path, error,
                         [&] { return startFlush(fd); });
}

} // namespace

bool readOpenFile(int fd, std::size_t size, std::string& bytes) {
    return readWholeFile(size, bytes, [fd](char* at, std::size_t room) -> long long {
        ssize_t n = 0;
        do {
            n = ::read(fd, at, room);
        } while (n < 0 && errno == EINTR);
        return n;
    });
}

std::string directoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

int readHostFile(const std::string& path, std::string& bytes, std::string& error) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return fd.get() < 0 ? failed("cannot open", path, error)
                        : readDescriptor(fd.get(), path, bytes, error);
}

bool PosixPlatform::readFile(const std::string& name, FileBytes& out, std::string& error) {
    std::string path = hostPath(name);
    std::string bytes;
    // readHostFile words its own failures: the hook's alone are worded here.
    if (!files_.attempt(FileOperation::Read, "cannot open", path, error, [] { return true; }) ||
        readHostFile(path, bytes, error) != 0) {
        return false;
    }
    out.bytes = std::move(bytes);
    out.resolvedPath = path;
    return true;
}

bool PosixPlatform::hasFile(const std::string& name) {
    struct stat info {};
    return ::stat(hostPath(name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

CreateStatus HostFileSystem::createFileWith(const std::string& path, const NewContent& content,
                                            const std::string& replacing, std::string& identity,
                                            std::string& error) {
    struct stat old {};
    bool exists = !replacing.empty() && ::stat(replacing.c_str(), &old) == 0;
    // A read-only file is not ours to replace, even where the directory would
    // allow a rename (and even for root, as the read-only attribute on Windows).
    if (exists && isReadOnly(replacing, old)) {
        errno = EACCES;
        error = errnoText("cannot write", replacing);
        return CreateStatus::Failed;
    }
    int made = -1;
    // Only a new file: never one that is there, nor through a link.
    if (!attempt(FileOperation::Open, "cannot create", path, error, [&] {
            made = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          exists ? 0600 : 0644);
            return made >= 0;
        })) {
        return errno == EEXIST ? CreateStatus::Exists : CreateStatus::Failed;
    }
    FileDescriptor fd(made);
    struct stat info {};
    bool ok = ::fstat(fd.get(), &info) == 0;
    if (!ok) {
        error = errnoText("cannot examine", path);
    }
    ok = ok && fill(*this, fd.get(), path, content, exists ? &old : nullptr, error);
    if (::close(fd.release()) != 0 && ok) {
        ok = false;
        error = errnoText("cannot close", path);
    }
    if (!ok) {
        ::unlink(path.c_str());
        return CreateStatus::Failed;
    }
    identity = identityOf(info);
    return CreateStatus::Created;
}

bool HostFileSystem::appendFile(const std::string& path, const std::string& bytes,
                                std::string& error) {
    return attempt(FileOperation::Append, "cannot write", path, error, [&] {
        FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC));
        struct stat info {};
        if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
            return false;
        }
        if (!S_ISREG(info.st_mode)) {
            errno = EINVAL;
            return false;
        }
        return writeAll(fd.get(), bytes.data(), bytes.size()) && ::close(fd.release()) == 0;
    });
}

bool HostFileSystem::syncFile(const std::string& path, std::string& error) {
    return attempt(FileOperation::Sync, "cannot flush", path, error,
                   [&] { return syncOpened(path, O_NOFOLLOW); });
}

bool HostFileSystem::syncFolder(const std::string& folder, std::string& error) {
    const std::string path = folder.empty() ? "." : folder;
    return attempt(FileOperation::SyncFolder, "cannot flush the folder", path, error,
                   [&] { return syncOpened(path, O_DIRECTORY); });
}

bool HostFileSystem::renameFile(const std::string& from, const std::string& to,
                                std::string& error) {
    return attempt(FileOperation::Rename, "cannot replace", to, error,
                   [&] { return ::rename(from.c_str(), to.c_str()) == 0; });
}

bool HostFileSystem::removeFile(const std::string& path, std::string& error) {
    return attempt(FileOperation::Remove, "cannot remove", path, error,
                   [&] { return ::unlink(path.c_str()) == 0 || errno == ENOENT; });
}

PathInfo HostFileSystem::examine(const std::string& path) {
    PathInfo result;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        result.kind = errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Other;
        return result;
    }
    result.kind = S_ISREG(info.st_mode)   ? PathKind::File
                  : S_ISLNK(info.st_mode) ? PathKind::Link
                  : S_ISDIR(info.st_mode) ? PathKind::Folder
                                          : PathKind::Other;
    if (result.kind == PathKind::File) {
        result.identity = identityOf(info);
    }
    return result;
}

bool HostFileSystem::listFolder(const std::string& folder, std::vector<std::string>& names,
                                std::string& error) {
    const std::string path = folder.empty() ? "." : folder;
    names.clear();
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) {
        // A folder that is gone holds nothing to clean up.
        if (errno == ENOENT || errno == ENOTDIR) {
            return true;
        }
        error = errnoText("cannot list", path);
        return false;
    }
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    return true;
}

bool HostFileSystem::readOwnFile(const std::string& path, std::string& bytes, std::string& error) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        error = errnoText("cannot open", path);
        return false;
    }
    // It says which files to rename over which: only this user (or the
    // administrator) may have written it.
    if (!S_ISREG(info.st_mode) || (info.st_uid != ::geteuid() && info.st_uid != 0) ||
        (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        error = path + " is not a file this tool made: another user owns it or can write it";
        return false;
    }
    return readDescriptor(fd.get(), path, bytes, error) == 0;
}

std::unique_ptr<LibraryLock> HostFileSystem::lockLibrary(const std::string& path,
                                                         const std::function<void()>& waiting,
                                                         std::string& error) {
    // Whoever can open the lock file can hold it and make every run wait: only
    // its owner (and root) may, and a run uses none that another user owns.
    // Someone may remove the file while a run waits on it: the lock then counts
    // only while the name still leads to the file locked.
    for (int round = 0; round < 8; ++round) {
        int opened = -1;
        // Never written into, so opened for reading only; never through a link,
        // and never waiting at a FIFO's open.
        if (!attempt(FileOperation::Lock, "cannot open the lock file", path, error, [&] {
                opened = ::open(path.c_str(),
                                O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
                return opened >= 0;
            })) {
            if (errno == ELOOP) {
                error = path + " is a link: the library's lock file must be a file";
            }
            return nullptr;
        }
        FileDescriptor fd(opened);
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
            error = path +
                    " is not a lock file this tool made (not a file, or a file with other names)";
            return nullptr;
        }
        if (info.st_uid != ::geteuid() && info.st_uid != 0) {
            error = path + " belongs to user " + std::to_string(info.st_uid) +
                    ", who could hold it to keep every run waiting; remove it and run again";
            return nullptr;
        }
        // Made by an earlier version for all to read: anyone may hold it open.
        const bool shared = (info.st_mode & 077) != 0;
        bool locked = ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0;
        if (!locked && errno == EWOULDBLOCK) {
            if (shared) {
                error = path + " is locked, and other users can open it: the holder may be " +
                        "any of them, so this run does not wait (it is made 0600 by the " +
                        "next run that gets it)";
                return nullptr;
            }
            waiting();
            do {
                locked = ::flock(fd.get(), LOCK_EX) == 0;
            } while (!locked && errno == EINTR);
        }
        if (!locked) {
            error = errnoText("cannot lock", path);
            return nullptr;
        }
        struct stat named {};
        if (::lstat(path.c_str(), &named) != 0 || named.st_dev != info.st_dev ||
            named.st_ino != info.st_ino) {
            continue; // removed or replaced while this run waited
        }
        if (shared && info.st_uid == ::geteuid() && ::fchmod(fd.get(), 0600) != 0) {
            error = errnoText("cannot narrow the permissions of", path);
            return nullptr;
        }
        return std::make_unique<PosixLock>(fd.release());
    }
    error = path + " was replaced again and again while this run waited for it";
    return nullptr;
}

std::string HostFileSystem::randomHex() {
    unsigned char bytes[8] = {};
    std::size_t got = 0;
    while (got < sizeof bytes) {
        ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0 && errno != EINTR) {
            break;
        }
        got += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return hexText(bytes, sizeof bytes);
}

std::string HostFileSystem::folderOf(const std::string& path) const {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace quillora
