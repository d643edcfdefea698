// A path opened one folder at a time, each through the one above it with
// O_NOFOLLOW, so that no folder on it can be swapped between a check and its
// use. A link on the way is followed only when root or the running user owns
// it. Under the strict rule (a run as root) every folder on the way, and the
// file itself, must be root's own and writable by no one else, as OpenSSH's
// StrictModes asks of its files; a sticky folder writable by all (/tmp) may
// be passed through, since no one else can rename what lies in it.
#pragma once

#include <string>
#include <sys/stat.h>

namespace quillora {

// An open descriptor, closed when destroyed.
class OpenDescriptor {
public:
    OpenDescriptor() = default;
    explicit OpenDescriptor(int fd) : fd_(fd) {}
    ~OpenDescriptor();
    OpenDescriptor(OpenDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    OpenDescriptor& operator=(OpenDescriptor&& other) noexcept;
    OpenDescriptor(const OpenDescriptor&) = delete;
    OpenDescriptor& operator=(const OpenDescriptor&) = delete;
    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

enum class PathStatus {
    Ok,
    FolderMissing, // a folder on the way does not exist (and was not to be made)
    Refused,       // a link, folder or file the trust rule refuses
    Failed,        // the system refused (errno kept in the result's failure)
};

struct PathRule {
    bool createFolders = false; // make missing folders on the way (0755, less the umask)
    bool strict = false;        // root's rule, above
};

// The folder a file lies in, open, and the file's name in it: the name is not a
// link (a link at the end is followed like any other), and the file may be
// missing. Not Ok with the reason in why (and errno in failure for Failed).
struct ResolvedFile {
    OpenDescriptor folder;
    std::string name;
    int failure = 0;
};
PathStatus resolveFile(const std::string& path, const PathRule& rule, ResolvedFile& file,
                       std::string& why);

// Whether what info describes passes the rule; why names what as the reason.
bool trusted(const struct stat& info, const PathRule& rule, const std::string& what,
             std::string& why);

// The rule for this process: strict when it runs as root.
PathRule ruleForThisUser();

} // namespace quillora
