#include "platform/posix/PosixFiles.h"
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

bool writeAll(int fd, std::string_view bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
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

} // namespace

std::string directoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool canReplaceFile(const std::string& path, std::string& why) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (isReadOnly(path, info)) {
            why = path + " is read-only";
            return false;
        }
    } else if (errno != ENOENT) {
        why = errnoText("cannot examine", path);
        return false;
    }
    std::string folder = directoryOf(path);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        why = errnoText("cannot write in", folder);
        return false;
    }
    return true;
}

int readHostFile(const std::string& path, std::string& bytes, std::string& error) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        int failure = errno;
        error = errnoText("cannot open", path);
        return failure;
    }
    return readHostDescriptor(fd.get(), path, bytes, error);
}

int readHostDescriptor(int fd, const std::string& path, std::string& bytes, std::string& error) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        int failure = errno;
        error = errnoText("cannot examine", path);
        return failure;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a regular file: " + path;
        return EISDIR;
    }
    // Read into exactly the file's size: a large book data file is kept in
    // memory while its package is updated, and growing the string would take
    // twice its size.
    std::string().swap(bytes);
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    char more[4096];
    while (true) {
        // Past the size the file had, it may have grown: read on into a small
        // buffer rather than grow the whole text ahead of the bytes.
        const bool full = got == bytes.size();
        ssize_t n =
            full ? ::read(fd, more, sizeof more) : ::read(fd, &bytes[got], bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            int failure = errno;
            error = errnoText("cannot read", path);
            return failure;
        }
        if (n == 0) {
            break;
        }
        if (full) {
            bytes.append(more, static_cast<std::size_t>(n));
        }
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return 0;
}

bool PosixPlatform::readFile(const std::string& name, FileBytes& out, std::string& error) {
    std::string path = hostPath(name);
    if (int injected = fault(FileOperation::Read)) {
        errno = injected;
        error = errnoText("cannot open", path);
        return false;
    }
    std::string bytes;
    if (readHostFile(path, bytes, error) != 0) {
        return false;
    }
    out.bytes = std::move(bytes);
    out.resolvedPath = path;
    return true;
}

namespace {

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
    ~PosixLock() override { ::close(fd_); } // closing drops the lock

private:
    int fd_;
};

} // namespace

int PosixFileSystem::fault(FileOperation operation) const {
    return hook_ ? hook_(operation) : 0;
}

// Makes call unless the hook fails operation; on failure errno says why.
template <typename Call> bool PosixFileSystem::attempt(FileOperation operation, Call call) const {
    if (int injected = fault(operation)) {
        errno = injected;
        return false;
    }
    return call();
}

bool PosixFileSystem::fill(int fd, const std::string& path, const NewContent& content,
                           const struct stat* replaced, std::string& error) const {
    bool ok = true;
    if (int failure = fault(FileOperation::Write)) {
        // A short write: half of the first piece reaches the disk.
        content([fd](std::string_view piece) {
            writeAll(fd, piece.substr(0, piece.size() / 2));
            return false;
        });
        errno = failure;
        ok = false;
    } else {
        ok = content([fd](std::string_view piece) { return writeAll(fd, piece); });
    }
    if (!ok) {
        error = errnoText("cannot write", path);
        return false;
    }
    if (replaced != nullptr && ::fchmod(fd, replaced->st_mode & 07777) != 0) {
        error = errnoText("cannot set the permissions of", path);
        return false;
    }
    if (!attempt(FileOperation::Flush, [&] { return startFlush(fd); })) {
        error = errnoText("cannot flush", path);
        return false;
    }
    return true;
}

CreateStatus PosixFileSystem::createFileWith(const std::string& path, const NewContent& content,
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
    if (!attempt(FileOperation::Open, [&] {
            made = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          exists ? 0600 : 0644);
            return made >= 0;
        })) {
        error = errnoText("cannot create", path);
        return errno == EEXIST ? CreateStatus::Exists : CreateStatus::Failed;
    }
    FileDescriptor fd(made);
    struct stat info {};
    bool ok = ::fstat(fd.get(), &info) == 0;
    if (!ok) {
        error = errnoText("cannot examine", path);
    }
    ok = ok && fill(fd.get(), path, content, exists ? &old : nullptr, error);
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

bool PosixFileSystem::appendFile(const std::string& path, const std::string& bytes,
                                 std::string& error) {
    if (!attempt(FileOperation::Append, [&] {
            FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC));
            struct stat info {};
            if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
                return false;
            }
            if (!S_ISREG(info.st_mode)) {
                errno = EINVAL;
                return false;
            }
            return writeAll(fd.get(), bytes) && ::close(fd.release()) == 0;
        })) {
        error = errnoText("cannot write", path);
        return false;
    }
    return true;
}

bool PosixFileSystem::syncFile(const std::string& path, std::string& error) {
    if (!attempt(FileOperation::Sync, [&] { return syncOpened(path, O_NOFOLLOW); })) {
        error = errnoText("cannot flush", path);
        return false;
    }
    return true;
}

bool PosixFileSystem::syncFolder(const std::string& folder, std::string& error) {
    const std::string path = folder.empty() ? "." : folder;
    if (!attempt(FileOperation::SyncFolder, [&] { return syncOpened(path, O_DIRECTORY); })) {
        error = errnoText("cannot flush the folder", path);
        return false;
    }
    return true;
}

bool PosixFileSystem::renameFile(const std::string& from, const std::string& to,
                                 std::string& error) {
    if (!attempt(FileOperation::Rename, [&] { return ::rename(from.c_str(), to.c_str()) == 0; })) {
        error = errnoText("cannot replace", to);
        return false;
    }
    return true;
}

bool PosixFileSystem::removeFile(const std::string& path, std::string& error) {
    if (!attempt(FileOperation::Remove,
                 [&] { return ::unlink(path.c_str()) == 0 || errno == ENOENT; })) {
        error = errnoText("cannot remove", path);
        return false;
    }
    return true;
}

PathInfo PosixFileSystem::examine(const std::string& path) {
    PathInfo result;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        result.kind = errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Other;
        return result;
    }
    if (S_ISREG(info.st_mode)) {
        result.kind = PathKind::File;
        result.identity = identityOf(info);
    } else if (S_ISLNK(info.st_mode)) {
        result.kind = PathKind::Link;
    } else if (S_ISDIR(info.st_mode)) {
        result.kind = PathKind::Folder;
    } else {
        result.kind = PathKind::Other;
    }
    return result;
}

bool PosixFileSystem::listFolder(const std::string& folder, std::vector<std::string>& names,
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

bool PosixFileSystem::readOwnFile(const std::string& path, std::string& bytes, std::string& error) {
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
    return readHostDescriptor(fd.get(), path, bytes, error) == 0;
}

std::unique_ptr<LibraryLock> PosixFileSystem::lockLibrary(const std::string& path,
                                                          const std::function<void()>& waiting,
                                                          std::string& error) {
    int opened = -1;
    // Never written into, so opened for reading only; never through a link.
    if (!attempt(FileOperation::Lock, [&] {
            opened = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
            return opened >= 0;
        })) {
        error = errno == ELOOP ? path + " is a link: the library's lock file must be a file"
                               : errnoText("cannot open the lock file", path);
        return nullptr;
    }
    FileDescriptor fd(opened);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
        error =
            path + " is not a lock file this tool made (not a file, or a file with other names)";
        return nullptr;
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            error = errnoText("cannot lock", path);
            return nullptr;
        }
        waiting();
        while (::flock(fd.get(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                error = errnoText("cannot lock", path);
                return nullptr;
            }
        }
    }
    return std::make_unique<PosixLock>(fd.release());
}

std::string PosixFileSystem::randomHex() {
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

std::string PosixFileSystem::folderOf(const std::string& path) const {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace quillora
