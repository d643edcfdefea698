#include "platform/posix/TrustedPath.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <unistd.h>

namespace quillora {

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

Status failedAt(const std::string& what, const std::string& path) {
    const int failure = errno;
    return Status::failed(refusedAccess(failure) ? Failure::AccessDenied : Failure::Failed,
                          what + " " + path + ": " + std::strerror(failure));
}

// Opens the root, or (for a relative path) the working folder by its full name,
// so that every folder above it is checked as well.
Status openStart(const std::string& path, const PathRule& rule, FileDescriptor& folder,
                 std::string& shown, std::deque<std::string>& parts) {
    if (path.empty() || path[0] != '/') {
        char here[PATH_MAX];
        if (::getcwd(here, sizeof here) == nullptr) {
            return failedAt("cannot find the working folder of", path);
        }
        pushParts(path, parts);
        pushParts(here, parts);
    } else {
        pushParts(path, parts);
    }
    folder.reset(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat info {};
    if (!folder.isOpen() || ::fstat(folder.get(), &info) != 0) {
        return failedAt("cannot open", "/");
    }
    shown = "/";
    return trusted(info, rule, "/");
}

} // namespace

Status trusted(const struct stat& info, const PathRule& rule, const std::string& what) {
    if (!rule.strict) {
        return Status();
    }
    if (!ownedByUs(info)) {
        return Status::failed(what + " belongs to user " + std::to_string(info.st_uid) +
                              ": a run as root uses nothing another user owns");
    }
    const bool sharedFolder = S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0;
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0 && !sharedFolder) {
        return Status::failed(
            what + " can be written by other users: a run as root uses nothing they can change");
    }
    return Status();
}

bool refusedAccess(int failure) {
    return failure == EACCES || failure == EPERM || failure == EROFS;
}

PathRule ruleForThisUser() {
    PathRule rule;
    rule.strict = ::geteuid() == 0;
    return rule;
}

Expected<ResolvedFile> resolveFile(const std::string& path, const PathRule& rule) {
    std::deque<std::string> parts;
    FileDescriptor folder;
    std::string shown;
    Status status = openStart(path, rule, folder, shown, parts);
    int links = 0;
    std::string name;
    while (status && !parts.empty()) {
        const std::string part = parts.front();
        parts.pop_front();
        const std::string at = joined(shown, part);
        struct stat info {};
        if (::fstatat(folder.get(), part.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) {
                return failedAt("cannot examine", at);
            }
            if (parts.empty()) {
                name = part; // the file itself may be missing
                break;
            }
            if (!rule.createFolders) {
                return Status::failed(Failure::NotFound, "the folder " + at + " does not exist");
            }
            if (::mkdirat(folder.get(), part.c_str(), 0755) != 0 && errno != EEXIST) {
                return failedAt("cannot create the folder", at);
            }
            parts.push_front(part); // examined again, as made (or as someone else made it)
            continue;
        }
        if (S_ISLNK(info.st_mode)) {
            if (!ownedByUs(info)) {
                return Status::failed(
                    at + " is a link of user " + std::to_string(info.st_uid) +
                    ": links are followed only when root or the running user owns them");
            }
            std::string target(PATH_MAX, '\0');
            ssize_t size = ::readlinkat(folder.get(), part.c_str(), &target[0], target.size());
            if (size < 0 || ++links > kMostLinks) {
                errno = size < 0 ? errno : ELOOP;
                return failedAt("cannot follow", at);
            }
            target.resize(static_cast<std::size_t>(size));
            if (!target.empty() && target[0] == '/') {
                std::deque<std::string> rest;
                rest.swap(parts);
                status = openStart(target, rule, folder, shown, parts);
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
        FileDescriptor next(
            ::openat(folder.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.isOpen() || ::fstat(next.get(), &info) != 0) {
            return failedAt("cannot open the folder", at);
        }
        status = trusted(info, rule, at);
        if (!status) {
            return status;
        }
        folder = std::move(next);
        shown = part == ".." ? shown.substr(0, std::max<std::size_t>(1, shown.rfind('/'))) : at;
    }
    if (!status) {
        return status;
    }
    if (name.empty()) {
        errno = EISDIR;
        return failedAt("cannot use", shown);
    }
    return ResolvedFile{std::move(folder), name};
}

} // namespace quillora
