// A folder of the host held open by its descriptor, and how one is opened: a
// part of its path at a time, each opened in the one before and never through
// a link that another user owns, so that no one can steer a run into a folder
// of their choosing by renaming or linking a folder on the way.
#pragma once

#include "platform/HostFileSystem.h"
#include "platform/posix/FileDescriptor.h"

#include <memory>
#include <string>
#include <sys/stat.h>

namespace quillora {

class OpenFolder {
public:
    OpenFolder(int fd, std::string identity) : fd_(fd), identity_(std::move(identity)) {}
    int fd() const { return fd_.get(); }
    // Device and file number.
    const std::string& identity() const { return identity_; }

private:
    FileDescriptor fd_;
    std::string identity_;
};

// Device and file number, as identities are written.
std::string identityOf(const struct stat& info);

// A link is followed only when root or the running user owns it: any other
// owner could point it anywhere at any time.
bool mayFollowLink(const struct stat& link);
// Why the link at path is not followed.
std::string refusedLinkText(const std::string& path, const struct stat& link);

// Opens the folder at path ("" for the working folder). Null, with error
// saying why and errno kept, when it cannot be.
std::unique_ptr<OpenFolder> openFolderAt(const std::string& path, std::string& error);

} // namespace quillora
