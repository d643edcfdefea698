#include "platform/posix/OpenFolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <vector>

namespace quillora {

namespace {

// As many links as the system itself follows on one path.
constexpr int kMostLinks = 40;

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The parts of path pushed so that the first comes off the back first.
void pushParts(std::vector<std::string>& parts, const std::string& path) {
    std::vector<std::string> ahead;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        std::size_t stop = slash == std::string::npos ? path.size() : slash;
        if (stop > start && path.compare(start, stop - start, ".") != 0) {
            ahead.push_back(path.substr(start, stop - start));
        }
        start = stop + 1;
    }
    parts.insert(parts.end(), ahead.rbegin(), ahead.rend());
}

bool readLink(int folder, const std::string& name, std::string& target) {
    std::vector<char> buffer(256);
    while (true) {
        ssize_t n = ::readlinkat(folder, name.c_str(), buffer.data(), buffer.size());
        if (n < 0) {
            return false;
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            target.assign(buffer.data(), static_cast<std::size_t>(n));
            return true;
        }
        if (buffer.size() >= 65536) {
            errno = ENAMETOOLONG;
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::unique_ptr<OpenFolder> failedAt(const std::string& path, std::string& error) {
    const int failure = errno;
    error = "cannot open the folder " + path + ": " + std::strerror(failure);
    errno = failure;
    return nullptr;
}

} // namespace

std::string identityOf(const struct stat& info) {
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

bool mayFollowLink(const struct stat& link) {
    return link.st_uid == 0 || link.st_uid == ::geteuid();
}

std::string refusedLinkText(const std::string& path, const struct stat& link) {
    return path + " is a link owned by another user (uid " + std::to_string(link.st_uid) +
           "): only links of root or of the user running the tool are followed";
}

std::unique_ptr<OpenFolder> openFolderAt(const std::string& path, std::string& error) {
    const bool absolute = !path.empty() && path[0] == '/';
    FileDescriptor at(::open(absolute ? "/" : ".", kFolderFlags & ~O_NOFOLLOW));
    std::string walked = absolute ? "/" : "";
    if (at.get() < 0) {
        return failedAt(absolute ? "/" : ".", error);
    }
    std::vector<std::string> parts;
    pushParts(parts, path);
    int links = 0;
    while (!parts.empty()) {
        const std::string part = parts.back();
        parts.pop_back();
        const std::string here = walked + part;
        int next = ::openat(at.get(), part.c_str(), kFolderFlags);
        if (next >= 0) {
            at.reset(next);
            walked = here + "/";
            continue;
        }
        const int failure = errno;
        struct stat link {};
        if ((failure != ELOOP && failure != ENOTDIR) ||
            ::fstatat(at.get(), part.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(link.st_mode)) {
            errno = failure;
            return failedAt(here, error);
        }
        if (!mayFollowLink(link)) {
            error = refusedLinkText(here, link);
            errno = EPERM;
            return nullptr;
        }
        std::string target;
        if (++links > kMostLinks) {
            errno = ELOOP;
            return failedAt(here, error);
        }
        if (!readLink(at.get(), part, target)) {
            return failedAt(here, error);
        }
        if (!target.empty() && target[0] == '/') {
            at.reset(::open("/", kFolderFlags & ~O_NOFOLLOW));
            walked = "/";
            if (at.get() < 0) {
                return failedAt("/", error);
            }
        }
        pushParts(parts, target);
    }
    struct stat info {};
    if (::fstat(at.get(), &info) != 0) {
        return failedAt(path.empty() ? "." : path, error);
    }
    return std::make_unique<OpenFolder>(at.release(), identityOf(info));
}

} // namespace quillora
