#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixPlatform.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
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

bool writeAll(int fd, const std::string& bytes) {
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

// A temporary file is on the disk before it replaces its target. Where the
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

bool finishFlush(const std::string& temporaryPath) {
#ifdef __linux__
    FileDescriptor fd(::open(temporaryPath.c_str(), O_RDONLY | O_CLOEXEC));
    return fd.get() >= 0 && ::fsync(fd.get()) == 0;
#else
    (void)temporaryPath;
    return true;
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
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        int failure = errno;
        error = errnoText("cannot examine", path);
        return failure;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a regular file: " + path;
        return EISDIR;
    }
    bytes.clear();
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (true) {
        if (got == bytes.size()) {
            bytes.resize(bytes.size() + 65536); // the file may have grown
        }
        ssize_t n = ::read(fd.get(), &bytes[got], bytes.size() - got);
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

bool PosixPlatform::writeTemporary(const std::string& temporaryPath,
                                   const std::string& resolvedPath, const std::string& bytes,
                                   std::string& error) {
    struct stat old {};
    bool exists = ::stat(resolvedPath.c_str(), &old) == 0;
    // A read-only file is not ours to replace, even where the directory would
    // allow a rename (and even for root, as the read-only attribute on Windows).
    if (exists && isReadOnly(resolvedPath, old)) {
        errno = EACCES;
        error = errnoText("cannot write", resolvedPath);
        return false;
    }
    int injected = fault(FileOperation::Open);
    FileDescriptor fd(injected != 0
                          ? -1
                          : ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                                   exists ? 0600 : 0644));
    if (fd.get() < 0) {
        if (injected != 0) {
            errno = injected;
        }
        error = errnoText("cannot create", temporaryPath);
        return false;
    }
    bool ok = true;
    if (int failure = fault(FileOperation::Write)) {
        // A short write: half of it reaches the disk.
        writeAll(fd.get(), bytes.substr(0, bytes.size() / 2));
        errno = failure;
        ok = false;
    } else {
        ok = writeAll(fd.get(), bytes);
    }
    if (!ok) {
        error = errnoText("cannot write", temporaryPath);
    }
    if (ok && exists && ::fchmod(fd.get(), old.st_mode & 07777) != 0) {
        ok = false;
        error = errnoText("cannot set the permissions of", temporaryPath);
    }
    if (ok) {
        int failure = fault(FileOperation::Flush);
        if (failure != 0 || !startFlush(fd.get())) {
            if (failure != 0) {
                errno = failure;
            }
            ok = false;
            error = errnoText("cannot flush", temporaryPath);
        }
    }
    if (::close(fd.release()) != 0 && ok) {
        ok = false;
        error = errnoText("cannot close", temporaryPath);
    }
    if (!ok) {
        ::unlink(temporaryPath.c_str());
    }
    return ok;
}

bool PosixPlatform::flushTemporary(const std::string& temporaryPath, std::string& error) {
    if (int failure = fault(FileOperation::Sync); failure != 0 || !finishFlush(temporaryPath)) {
        if (failure != 0) {
            errno = failure;
        }
        error = errnoText("cannot flush", temporaryPath);
        return false;
    }
    return true;
}

bool PosixPlatform::commitTemporary(const std::string& temporaryPath,
                                    const std::string& resolvedPath, std::string& error) {
    int failure = fault(FileOperation::Rename);
    if (failure != 0 || ::rename(temporaryPath.c_str(), resolvedPath.c_str()) != 0) {
        if (failure != 0) {
            errno = failure;
        }
        error = errnoText("cannot replace", resolvedPath);
        return false;
    }
    // Make the rename itself durable.
    FileDescriptor dir(
        ::open(directoryOf(resolvedPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return true;
}

void PosixPlatform::discardTemporary(const std::string& temporaryPath) {
    ::unlink(temporaryPath.c_str());
}

} // namespace quillora
