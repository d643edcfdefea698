// A path opened one folder at a time, each through the one above it with
// O_NOFOLLOW, so that no folder on it can be swapped between a check and its
// use. A link on the way is followed only when root or the running user owns
// it. Under the strict rule (a run as root) every folder on the way, and the
// file itself, must be root's own and writable by no one else, as OpenSSH's
// StrictModes asks of its files; a sticky folder writable by all (/tmp) may
// be passed through, since no one else can rename what lies in it.
#pragma once

#include "platform/posix/FileDescriptor.h"
#include "status/Status.h"

#include <string>
#include <sys/stat.h>

namespace quillora {

struct PathRule {
    bool createFolders = false; // make missing folders on the way (0755, less the umask)
    bool strict = false;        // root's rule, above
};

// The folder a file lies in, open, and the file's name in it: the name is not a
// link (a link at the end is followed like any other), and the file may be
// missing.
struct ResolvedFile {
    FileDescriptor folder;
    std::string name;
};
// When path cannot be resolved, the reason: NotFound when a folder on the way
// does not exist (and was not to be made), AccessDenied when the system
// refuses this user, Failed when the trust rule refuses or the system fails.
Expected<ResolvedFile> resolveFile(const std::string& path, const PathRule& rule);

// Whether what info describes passes the rule; the reason names what.
Status trusted(const struct stat& info, const PathRule& rule, const std::string& what);

// The system's own refusals of access (errno values).
bool refusedAccess(int failure);

// The rule for this process: strict when it runs as root.
PathRule ruleForThisUser();

} // namespace quillora
