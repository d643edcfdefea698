#include "platform/posix/PosixFiles.h"

#include "platform/HexText.h"
#include "platform/SystemFailureText.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/OpenFolder.h"
#include "platform/posix/PosixPlatform.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quillora {

namespace {

std::string errnoText(const std::string& what, const std::string& path) {
    return systemFailureText(what, path, errno);
}

// Says in error what failed on path and why; errno, kept.
int failed(const char* what, const std::string& path, std::string& error) {
    const int failure = errno;
    error = errnoText(what, path);
    return errno = failure;
}

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

// name in folder (AT_FDCWD for a path), as info gives it.
bool isReadOnly(int folder, const std::string& name, const struct stat& info) {
    return (info.st_mode & S_IWUSR) == 0 || ::faccessat(folder, name.c_str(), W_OK, 0) != 0;
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

// The regular file open at fd, read whole. Nothing is taken for a file too
// large to be read, and a failed allocation refuses the file like a failed read.
Expected<TextBuffer> readDescriptor(int fd, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return Status::failed(errnoText("cannot examine", path));
    }
    if (!S_ISREG(info.st_mode)) {
        return Status::failed("not a regular file: " + path);
    }
    if (static_cast<std::uint64_t>(info.st_size) >= kLargestFile) {
        return Status::failed("the file is 2 GiB or larger, more than this tool reads");
    }
    TextBuffer bytes;
    // Opened so as never to wait at the open; a regular file's reads wait as usual.
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        !readOpenFile(fd, static_cast<std::size_t>(info.st_size), bytes)) {
        return Status::failed(errnoText("cannot read", path));
    }
    return bytes;
}

// The same for the small files kept as strings: the commit record, the
// resource script.
Expected<std::string> readDescriptorAsString(int fd, const std::string& path) {
    Expected<TextBuffer> bytes = readDescriptor(fd, path);
    if (!bytes) {
        return bytes.status();
    }
    return std::string(bytes->view());
}

class PosixLock : public LibraryLock {
public:
    explicit PosixLock(int fd) : fd_(fd) {}

private:
    FileDescriptor fd_; // closing it drops the lock
};

} // namespace

template <typename Call>
Status HostFileSystem::attempt(const char* what, const std::string& path, Call call) const {
    return call() ? Status() : Status::failed(errnoText(what, path));
}

namespace {

// Gives the new file fd the owner, group and permissions of the file it
// replaces, so far as this user may: it was made open to this user alone, and
// is opened to no one the old file was not open to (a group it could not be
// given loses its permissions).
bool takeOver(int fd, const struct stat& old) {
    const bool root = ::geteuid() == 0;
    // Another group than one's own is only given where this user may.
    if (::fchown(fd, root ? old.st_uid : static_cast<uid_t>(-1), old.st_gid) != 0 && root &&
        errno != EPERM && errno != EINVAL) {
        return false;
    }
    struct stat now {};
    if (::fstat(fd, &now) != 0) {
        return false;
    }
    mode_t mode = old.st_mode & 0777; // never setuid, setgid or sticky
    if (now.st_gid != old.st_gid) {
        mode &= static_cast<mode_t>(~S_IRWXG);
    }
    return ::fchmod(fd, mode) == 0;
}

// Writes content into the new file fd, gives it what the file it replaces
// has (when there is one) and starts its writing out.
bool fill(const HostFileSystem& files, int fd, const std::string& path, const NewContent& content,
          const struct stat* replaced, std::string& error) {
    if (!content(
            [fd](std::string_view piece) { return writeAll(fd, piece.data(), piece.size()); })) {
        error = errnoText("cannot write", path);
        return false;
    }
    if (replaced != nullptr && !takeOver(fd, *replaced)) {
        error = errnoText("cannot give the owner and permissions of the file it replaces to", path);
        return false;
    }
    const Status flushed = files.attempt("cannot flush", path, [&] { return startFlush(fd); });
    if (!flushed) {
        error = flushed.reason();
    }
    return flushed.ok();
}

// A file's identity: its device and number, which a file made after it was
// removed may be given again, so with its size and the time of its last write.
std::string fileIdentityOf(const struct stat& info) {
    return identityOf(info) + ":" + std::to_string(info.st_size) + ":" +
           std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
}

// The folder that holds path, held open (null, with error, when it cannot be),
// and path's name in it.
const OpenFolder* folderHolding(HostFileSystem& files, const std::string& path, std::string& name,
                                std::string& error) {
    const std::string folder = files.folderOf(path);
    name = path.substr(folder.size());
    if (name.empty() || name == "." || name == "..") {
        errno = EISDIR;
        error = "not a file name: " + path;
        return nullptr;
    }
    return files.openFolder(folder, error);
}

bool isGone(int failure) {
    return failure == ENOENT || failure == ENOTDIR;
}

// Anyone may rename or replace what lies in a folder every user can write to
// that has no sticky bit, so nothing made there would stay this run's.
bool canStageIn(const OpenFolder& folder, const std::string& path, std::string& error) {
    struct stat info {};
    if (::fstat(folder.fd(), &info) != 0) {
        error = errnoText("cannot examine the folder of", path);
        return false;
    }
    if ((info.st_mode & S_IWOTH) != 0 && (info.st_mode & S_ISVTX) == 0) {
        error = "cannot write " + path +
                ": every user may rename or replace files in its folder (writable by all, "
                "without the sticky bit); `chmod +t` on the folder or tighter permissions let it "
                "be saved";
        errno = EPERM;
        return false;
    }
    return true;
}

// The file a run reads: opened without waiting (a FIFO or a device is refused,
// not waited on) and followed through a last link only when the link rule lets
// it. fd is left open on it; false, with error, when it cannot be.
bool openToRead(HostFileSystem& files, const std::string& path, FileDescriptor& fd,
                std::string& error) {
    std::string at = path;
    for (int links = 0; links <= 40; ++links) {
        std::string name;
        const OpenFolder* folder = folderHolding(files, at, name, error);
        if (folder == nullptr) {
            return false;
        }
        fd.reset(::openat(folder->fd(), name.c_str(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (fd.get() >= 0) {
            return true;
        }
        struct stat link {};
        if (errno != ELOOP ||
            ::fstatat(folder->fd(), name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(link.st_mode)) {
            failed("cannot open", at, error);
            return false;
        }
        if (!mayFollowLink(link)) {
            error = refusedLinkText(at, link);
            errno = EPERM;
            return false;
        }
        std::vector<char> target(static_cast<std::size_t>(link.st_size) + 1);
        ssize_t n = ::readlinkat(folder->fd(), name.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) {
            failed("cannot open", at, error);
            return false;
        }
        std::string to(target.data(), static_cast<std::size_t>(n));
        at = !to.empty() && to[0] == '/' ? to : files.folderOf(at) + to;
    }
    errno = ELOOP;
    failed("cannot open", path, error);
    return false;
}

class PosixOpenFile : public OpenFile {
public:
    PosixOpenFile(const HostFileSystem& files, int fd, std::string path)
        : files_(files), fd_(fd), path_(std::move(path)) {}
    Status append(const std::string& bytes) override {
        return files_.attempt("cannot write", path_,
                              [&] { return writeAll(fd_.get(), bytes.data(), bytes.size()); });
    }
    Status sync() override {
        return files_.attempt("cannot flush", path_, [&] { return ::fsync(fd_.get()) == 0; });
    }

private:
    const HostFileSystem& files_;
    FileDescriptor fd_;
    const std::string path_;
};

} // namespace

std::string systemFailureText(const std::string& what, const std::string& path, int code) {
    return what + " " + path + ": " + std::strerror(code);
}

bool readOpenFile(int fd, std::size_t size, TextBuffer& bytes) {
    try {
        return readWholeFile(size, bytes, [fd](char* at, std::size_t room) -> long long {
            ssize_t n = 0;
            do {
                n = ::read(fd, at, room);
            } while (n < 0 && errno == EINTR);
            return n;
        });
    } catch (const std::bad_alloc&) {
        bytes = TextBuffer();
        errno = ENOMEM;
        return false;
    }
}

bool readOpenFile(int fd, std::size_t size, std::string& bytes) {
    TextBuffer text;
    const bool read = readOpenFile(fd, size, text);
    bytes = text;
    return read;
}

HostFileSystem::HostFileSystem() = default;
HostFileSystem::~HostFileSystem() = default;

const OpenFolder* HostFileSystem::openFolder(const std::string& folder, std::string& error) {
    auto it = folders_.find(folder);
    if (it != folders_.end()) {
        return it->second.get();
    }
    std::unique_ptr<OpenFolder> opened = openFolderAt(folder, error);
    if (opened == nullptr) {
        return nullptr;
    }
    return folders_.emplace(folder, std::move(opened)).first->second.get();
}

std::string directoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

Expected<std::string> readHostFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        return Status::failed(errnoText("cannot open", path));
    }
    return readDescriptorAsString(fd.get(), path);
}

Expected<FileBytes> PosixPlatform::readFile(const std::string& name) {
    ResolvedPath path = resolve(name);
    Expected<TextBuffer> bytes = fileSystem().readWhole(path.text());
    if (!bytes) {
        return bytes.status();
    }
    return FileBytes{std::move(*bytes), std::move(path)};
}

Expected<TextBuffer> HostFileSystem::readWhole(const std::string& path) {
    FileDescriptor fd;
    std::string error;
    if (!openToRead(*this, path, fd, error)) {
        return Status::failed(error);
    }
    return readDescriptor(fd.get(), path);
}

bool PosixPlatform::hasFile(const std::string& name) {
    struct stat info {};
    return ::stat(hostPath(name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

Expected<std::string> HostFileSystem::createFileWith(const std::string& path,
                                                     const NewContent& content,
                                                     const std::string& replacing) {
    std::string error;
    std::string name;
    const OpenFolder* folder = folderHolding(*this, path, name, error);
    if (folder == nullptr || !canStageIn(*folder, path, error)) {
        return Status::failed(error);
    }
    struct stat old {};
    bool exists = false;
    if (!replacing.empty()) {
        std::string oldName;
        const OpenFolder* oldFolder = folderHolding(*this, replacing, oldName, error);
        if (oldFolder == nullptr) {
            return Status::failed(error);
        }
        exists = ::fstatat(oldFolder->fd(), oldName.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
        if (exists && S_ISLNK(old.st_mode)) {
            if (!mayFollowLink(old)) {
                return Status::failed(refusedLinkText(replacing, old));
            }
            exists = ::fstatat(oldFolder->fd(), oldName.c_str(), &old, 0) == 0;
        }
        // A read-only file is not ours to replace, even where the directory
        // would allow a rename (and even for root, as the read-only attribute
        // on Windows).
        if (exists && isReadOnly(oldFolder->fd(), oldName, old)) {
            return Status::failed(systemFailureText("cannot write", replacing, EACCES));
        }
    }
    // Only a new file: never one that is there, nor through a link. It is
    // open to this user alone until it has what the old file had.
    const int made =
        ::openat(folder->fd(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                 exists ? 0600 : 0644);
    if (made < 0) {
        return Status::failed(errno == EEXIST ? Failure::NameTaken : Failure::Failed,
                              errnoText("cannot create", path));
    }
    FileDescriptor fd(made);
    struct stat info {};
    bool ok = ::fstat(fd.get(), &info) == 0;
    if (!ok) {
        error = errnoText("cannot examine", path);
    }
    ok = ok && fill(*this, fd.get(), path, content, exists ? &old : nullptr, error);
    if (ok && ::fstat(fd.get(), &info) != 0) {
        ok = false;
        error = errnoText("cannot examine", path);
    }
    if (::close(fd.release()) != 0 && ok) {
        ok = false;
        error = errnoText("cannot close", path);
    }
    if (!ok) {
        ::unlinkat(folder->fd(), name.c_str(), 0);
        return Status::failed(error);
    }
    return fileIdentityOf(info);
}

Expected<std::unique_ptr<OpenFile>> HostFileSystem::createOpenFile(const std::string& path) {
    std::string error;
    std::string name;
    const OpenFolder* folder = folderHolding(*this, path, name, error);
    if (folder == nullptr || !canStageIn(*folder, path, error)) {
        return Status::failed(error);
    }
    const int made =
        ::openat(folder->fd(), name.c_str(),
                 O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (made < 0) {
        return Status::failed(errno == EEXIST ? Failure::NameTaken : Failure::Failed,
                              errnoText("cannot create", path));
    }
    return std::unique_ptr<OpenFile>(std::make_unique<PosixOpenFile>(*this, made, path));
}

Status HostFileSystem::syncFile(const std::string& path) {
    std::string error;
    std::string name;
    const OpenFolder* folder = folderHolding(*this, path, name, error);
    if (folder == nullptr) {
        return Status::failed(error);
    }
    return attempt("cannot flush", path, [&] {
        FileDescriptor fd(
            ::openat(folder->fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        return fd.get() >= 0 && ::fsync(fd.get()) == 0;
    });
}

Status HostFileSystem::syncFolder(const std::string& folder) {
    std::string error;
    const OpenFolder* open = openFolder(folder, error);
    if (open == nullptr) {
        return Status::failed(error);
    }
    return attempt("cannot flush the folder", folder.empty() ? "." : folder,
                   [&] { return ::fsync(open->fd()) == 0; });
}

Status HostFileSystem::renameFile(const std::string& from, const std::string& to) {
    std::string error;
    std::string fromName;
    const OpenFolder* folder = folderHolding(*this, from, fromName, error);
    if (folder == nullptr) {
        return Status::failed(error);
    }
    if (folderOf(to) != folderOf(from)) {
        return Status::failed(systemFailureText("cannot replace", to, EXDEV));
    }
    const std::string toName = to.substr(folderOf(to).size());
    return attempt("cannot replace", to, [&] {
        return ::renameat(folder->fd(), fromName.c_str(), folder->fd(), toName.c_str()) == 0;
    });
}

Status HostFileSystem::removeFile(const std::string& path) {
    std::string error;
    std::string name;
    const OpenFolder* folder = folderHolding(*this, path, name, error);
    if (folder == nullptr) {
        // Nothing there to remove.
        return isGone(errno) ? Status() : Status::failed(error);
    }
    return attempt("cannot remove", path, [&] {
        return ::unlinkat(folder->fd(), name.c_str(), 0) == 0 || errno == ENOENT;
    });
}

PathInfo HostFileSystem::examine(const std::string& path) {
    PathInfo result;
    std::string name;
    std::string error;
    const OpenFolder* folder = folderHolding(*this, path, name, error);
    struct stat info {};
    if (folder == nullptr ||
        ::fstatat(folder->fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        result.kind = isGone(errno) ? PathKind::Missing : PathKind::Other;
        return result;
    }
    result.kind = S_ISREG(info.st_mode)   ? PathKind::File
                  : S_ISLNK(info.st_mode) ? PathKind::Link
                  : S_ISDIR(info.st_mode) ? PathKind::Folder
                                          : PathKind::Other;
    if (result.kind == PathKind::File) {
        result.identity = fileIdentityOf(info);
        result.links = static_cast<unsigned long>(info.st_nlink);
    }
    return result;
}

Expected<std::string> HostFileSystem::folderIdentity(const std::string& folder) {
    std::string error;
    const OpenFolder* open = openFolder(folder, error);
    if (open == nullptr) {
        return isGone(errno) ? Expected<std::string>(std::string()) : Status::failed(error);
    }
    return open->identity();
}

Expected<std::vector<std::string>> HostFileSystem::listFolder(const std::string& folder) {
    std::vector<std::string> names;
    std::string error;
    const OpenFolder* open = openFolder(folder, error);
    if (open == nullptr) {
        // A folder that is gone holds nothing to clean up.
        return isGone(errno) ? Expected<std::vector<std::string>>(names) : Status::failed(error);
    }
    FileDescriptor copy(::fcntl(open->fd(), F_DUPFD_CLOEXEC, 0));
    DIR* dir = copy.get() < 0 ? nullptr : ::fdopendir(copy.get());
    if (dir == nullptr) {
        return Status::failed(errnoText("cannot list", folder.empty() ? "." : folder));
    }
    copy.release();
    // The copy shares its place in the folder with the handle kept.
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

Expected<std::string> HostFileSystem::readOwnFile(const std::string& path) {
    std::string error;
    std::string name;
    const OpenFolder* folder = folderHolding(*this, path, name, error);
    if (folder == nullptr) {
        return Status::failed(error);
    }
    FileDescriptor fd(
        ::openat(folder->fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        return Status::failed(errnoText("cannot open", path));
    }
    // It says which files to rename over which: only this user (or the
    // administrator) may have written it.
    if (!S_ISREG(info.st_mode) || (info.st_uid != ::geteuid() && info.st_uid != 0) ||
        (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return Status::failed(
            path + " is not a file this tool made: another user owns it or can write it");
    }
    return readDescriptorAsString(fd.get(), path);
}

namespace {

// Opens the lock file at path (creating it with O_CREAT in create) and takes
// the lock of kind (LOCK_EX, LOCK_SH) on it. Whoever can open the lock file
// can hold it and make every run wait: only its owner (and root) may, and a
// run uses none that another user owns. Someone may remove the file while a
// run waits on it: the lock then counts only while the name still leads to the
// file locked.
Expected<std::unique_ptr<LibraryLock>> lockAt(const std::string& path, int create, int kind,
                                              const std::function<void()>& waiting) {
    for (int round = 0; round < 8; ++round) {
        // Never written into, so opened for reading only; never through a link,
        // and never waiting at a FIFO's open.
        const int opened =
            ::open(path.c_str(), O_RDONLY | create | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (opened < 0) {
            if (errno == ENOENT && create == 0) {
                // No run has locked it: nothing to share.
                return std::make_unique<LibraryLock>();
            }
            return Status::failed(errno == ELOOP
                                      ? path + " is a link: the library's lock file must be a file"
                                      : errnoText("cannot open the lock file", path));
        }
        FileDescriptor fd(opened);
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) {
            return Status::failed(
                path +
                " is not a lock file this tool made (not a file, or a file with other names)");
        }
        if (info.st_uid != ::geteuid() && info.st_uid != 0) {
            return Status::failed(
                path + " belongs to user " + std::to_string(info.st_uid) +
                ", who could hold it to keep every run waiting; remove it and run again");
        }
        // Made by an earlier version for all to read: anyone may hold it open.
        const bool shared = (info.st_mode & 077) != 0;
        bool locked = ::flock(fd.get(), kind | LOCK_NB) == 0;
        if (!locked && errno == EWOULDBLOCK) {
            if (shared) {
                return Status::failed(
                    path + " is locked, and other users can open it: the holder may be " +
                    "any of them, so this run does not wait (it is made 0600 by the " +
                    "next run that gets it)");
            }
            waiting();
            do {
                locked = ::flock(fd.get(), kind) == 0;
            } while (!locked && errno == EINTR);
        }
        if (!locked) {
            return Status::failed(errnoText("cannot lock", path));
        }
        struct stat named {};
        if (::lstat(path.c_str(), &named) != 0 || named.st_dev != info.st_dev ||
            named.st_ino != info.st_ino) {
            continue; // removed or replaced while this run waited
        }
        // Only a run that may write narrows it.
        if (create != 0 && shared && info.st_uid == ::geteuid() && ::fchmod(fd.get(), 0600) != 0) {
            return Status::failed(errnoText("cannot narrow the permissions of", path));
        }
        return std::unique_ptr<LibraryLock>(std::make_unique<PosixLock>(fd.release()));
    }
    return Status::failed(path + " was replaced again and again while this run waited for it");
}

} // namespace

Expected<std::unique_ptr<LibraryLock>>
HostFileSystem::lockLibrary(const std::string& path, const std::function<void()>& waiting) {
    return lockAt(path, O_CREAT, LOCK_EX, waiting);
}

Expected<std::unique_ptr<LibraryLock>>
HostFileSystem::shareLibraryLock(const std::string& path, const std::function<void()>& waiting) {
    return lockAt(path, 0, LOCK_SH, waiting);
}

// Asks the system, not the mode bits: root may write a read-only file. The
// folder is the one a run would stage in, held and checked as a run does.
Status HostFileSystem::mayReplace(const std::string& path) {
    std::string error;
    std::string name;
    const OpenFolder* folder = folderHolding(*this, path, name, error);
    if (folder == nullptr || !canStageIn(*folder, path, error)) {
        return Status::failed(error);
    }
    struct stat info {};
    if (::fstatat(folder->fd(), name.c_str(), &info, 0) == 0) {
        if (isReadOnly(folder->fd(), name, info)) {
            return Status::failed(path + " is read-only");
        }
    } else if (errno != ENOENT) {
        return Status::failed(errnoText("cannot examine", path));
    }
    if (::faccessat(folder->fd(), ".", W_OK | X_OK, 0) != 0) {
        return Status::failed(errnoText("cannot write in", directoryOf(path)));
    }
    return Status();
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
