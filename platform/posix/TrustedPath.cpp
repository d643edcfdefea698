#include "platform/posix/TrustedPath.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <unistd.h>

namespace quillora {

OpenDescriptor::~OpenDescriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

OpenDescriptor& OpenDescriptor::operator=(OpenDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

namespace {

constexpr int kMostLinks = 40; // as the kernel's own limit

bool ownedByUs(const struct stat& info) {
    return info.st_uid == 0 || info.st_uid == ::geteuid();
}

// Puts the parts of path in front of the parts still to walk.
void pushParts(const std::string& path, std::deque<std::string>& parts) {
    std::deque<std::string> added;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t slash = path.find('/', start);
        std::size_t stop = slash == std::string::npos ? path.size() : slash;
        std::string part = path.substr(start, stop - start);
        if (!part.empty() && part != ".") {
            added.push_back(part);
        }
        start = stop + 1;
    }
    parts.insert(parts.begin(), added.begin(), added.end());
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

PathStatus failedAt(const std::string& what, const std::string& path, ResolvedFile& file,
                    std::string& why) {
    file.failure = errno;
    why = what + " " + path + ": " + std::strerror(errno);
    return PathStatus::Failed;
}

// Opens the root, or (for a relative path) the working folder by its full name,
// so that every folder above it is checked as well.
PathStatus openStart(const std::string& path, const PathRule& rule, OpenDescriptor& folder,
                     std::string& shown, std::deque<std::string>& parts, ResolvedFile& file,
                     std::string& why) {
    if (path.empty() || path[0] != '/') {
        char here[PATH_MAX];
        if (::getcwd(here, sizeof here) == nullptr) {
            return failedAt("cannot find the working folder of", path, file, why);
        }
        pushParts(path, parts);
        pushParts(here, parts);
    } else {
        pushParts(path, parts);
    }
    folder = OpenDescriptor(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat info {};
    if (!folder.isOpen() || ::fstat(folder.get(), &info) != 0) {
        return failedAt("cannot open", "/", file, why);
    }
    shown = "/";
    return trusted(info, rule, "/", why) ? PathStatus::Ok : PathStatus::Refused;
}

} // namespace

bool trusted(const struct stat& info, const PathRule& rule, const std::string& what,
             std::string& why) {
    if (!rule.strict) {
        return true;
    }
    if (!ownedByUs(info)) {
        why = what + " belongs to user " + std::to_string(info.st_uid) +
              ": a run as root uses nothing another user owns";
        return false;
    }
    const bool sharedFolder = S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0;
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0 && !sharedFolder) {
        why = what + " can be written by other users: a run as root uses nothing they can change";
        return false;
    }
    return true;
}

PathRule ruleForThisUser() {
    PathRule rule;
    rule.strict = ::geteuid() == 0;
    return rule;
}

PathStatus resolveFile(const std::string& path, const PathRule& rule, ResolvedFile& file,
                       std::string& why) {
    std::deque<std::string> parts;
    OpenDescriptor folder;
    std::string shown;
    PathStatus status = openStart(path, rule, folder, shown, parts, file, why);
    int links = 0;
    std::string name;
    while (status == PathStatus::Ok && !parts.empty()) {
        const std::string part = parts.front();
        parts.pop_front();
        const std::string at = joined(shown, part);
        struct stat info {};
        if (::fstatat(folder.get(), part.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) {
                return failedAt("cannot examine", at, file, why);
            }
            if (parts.empty()) {
                name = part; // the file itself may be missing
                break;
            }
            if (!rule.createFolders) {
                why = "the folder " + at + " does not exist";
                return PathStatus::FolderMissing;
            }
            if (::mkdirat(folder.get(), part.c_str(), 0755) != 0 && errno != EEXIST) {
                return failedAt("cannot create the folder", at, file, why);
            }
            parts.push_front(part); // examined again, as made (or as someone else made it)
            continue;
        }
        if (S_ISLNK(info.st_mode)) {
            if (!ownedByUs(info)) {
                why = at + " is a link of user " + std::to_string(info.st_uid) +
                      ": links are followed only when root or the running user owns them";
                return PathStatus::Refused;
            }
            std::string target(PATH_MAX, '\0');
            ssize_t size = ::readlinkat(folder.get(), part.c_str(), &target[0], target.size());
            if (size < 0 || ++links > kMostLinks) {
                errno = size < 0 ? errno : ELOOP;
                return failedAt("cannot follow", at, file, why);
            }
            target.resize(static_cast<std::size_t>(size));
            if (!target.empty() && target[0] == '/') {
                std::deque<std::string> rest;
                rest.swap(parts);
                status = openStart(target, rule, folder, shown, parts, file, why);
                parts.insert(parts.end(), rest.begin(), rest.end());
            } else {
                pushParts(target, parts);
            }
            continue;
        }
        if (parts.empty() && !S_ISDIR(info.st_mode)) {
            name = part; // the file: opened and checked by the caller
            break;
        }
        OpenDescriptor next(
            ::openat(folder.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.isOpen() || ::fstat(next.get(), &info) != 0) {
            return failedAt("cannot open the folder", at, file, why);
        }
        if (!trusted(info, rule, at, why)) {
            return PathStatus::Refused;
        }
        folder = std::move(next);
        shown = part == ".." ? shown.substr(0, std::max<std::size_t>(1, shown.rfind('/'))) : at;
    }
    if (status != PathStatus::Ok) {
        return status;
    }
    if (name.empty()) {
        errno = EISDIR;
        return failedAt("cannot use", shown, file, why);
    }
    file.folder = std::move(folder);
    file.name = name;
    return PathStatus::Ok;
}

} // namespace quillora
