#include "platform/posix/SystemCallLog.h"

#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace quillora::testing {

namespace {

std::vector<FileOperation>* logged = nullptr;
std::set<int> created; // files created while logged

void log(FileOperation operation) {
    if (logged != nullptr) {
        logged->push_back(operation);
    }
}

template <typename Call> Call real(const char* name) {
    return reinterpret_cast<Call>(::dlsym(RTLD_NEXT, name));
}

} // namespace

SystemCallLog::SystemCallLog() {
    logged = &operations_;
}

SystemCallLog::~SystemCallLog() {
    logged = nullptr;
    created.clear();
}

} // namespace quillora::testing

using quillora::testing::created;
using quillora::testing::FileOperation;
using quillora::testing::log;
using quillora::testing::logged;
using quillora::testing::real;

extern "C" int openat(int folder, const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & (O_CREAT | O_TMPFILE)) != 0) {
        va_list more;
        va_start(more, flags);
        mode = va_arg(more, mode_t);
        va_end(more);
    }
    static const auto call = real<int (*)(int, const char*, int, ...)>("openat");
    const int fd = call(folder, path, flags, mode);
    if (fd >= 0 && (flags & O_CREAT) != 0 && logged != nullptr) {
        log(FileOperation::Open);
        created.insert(fd);
    }
    return fd;
}

extern "C" ssize_t write(int fd, const void* bytes, size_t size) {
    static const auto call = real<ssize_t (*)(int, const void*, size_t)>("write");
    if (logged != nullptr && created.count(fd) != 0 &&
        (logged->empty() || logged->back() != FileOperation::Write)) {
        log(FileOperation::Write);
    }
    return call(fd, bytes, size);
}

extern "C" int fdatasync(int fd) {
    static const auto call = real<int (*)(int)>("fdatasync");
    log(FileOperation::Flush);
    return call(fd);
}

extern "C" int fsync(int fd) {
    static const auto call = real<int (*)(int)>("fsync");
    struct stat info {};
    if (logged != nullptr) {
        log(::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) ? FileOperation::SyncFolder
                                                             : FileOperation::Sync);
    }
    return call(fd);
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept {
    static const auto call = real<int (*)(int, const char*, int, const char*)>("renameat");
    log(FileOperation::Rename);
    return call(fromFolder, from, toFolder, to);
}
