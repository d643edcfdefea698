// Whole-file helpers of the POSIX stand-ins, on host paths (no name mapping).
#pragma once

#include "platform/FileSystem.h"

#include <sys/stat.h>

#include <functional>
#include <string>

namespace quillora {

// Reads the regular file at path. 0, or the errno value of the failure with
// error saying what failed.
int readHostFile(const std::string& path, std::string& bytes, std::string& error);
// The same from an open descriptor (closed by the caller).
int readHostDescriptor(int fd, const std::string& path, std::string& bytes, std::string& error);

// Whether a replacement of path would be let through: a file that exists must
// be writable by its permission bits (even for root, like the read-only
// attribute on Windows), and its folder must take the temporary file.
bool canReplaceFile(const std::string& path, std::string& why);

// The folder part of path ("." when there is none).
std::string directoryOf(const std::string& path);

// The file system of the host, with the test fault hook on each operation
// that changes the disk.
class PosixFileSystem : public FileSystem {
public:
    void setFaultHook(FileFaultHook hook) { hook_ = std::move(hook); }
    int fault(FileOperation operation) const;

    CreateStatus createFileWith(const std::string& path, const NewContent& content,
                                const std::string& replacing, std::string& identity,
                                std::string& error) override;
    bool appendFile(const std::string& path, const std::string& bytes, std::string& error) override;
    bool syncFile(const std::string& path, std::string& error) override;
    bool syncFolder(const std::string& folder, std::string& error) override;
    bool renameFile(const std::string& from, const std::string& to, std::string& error) override;
    bool removeFile(const std::string& path, std::string& error) override;
    PathInfo examine(const std::string& path) override;
    bool listFolder(const std::string& folder, std::vector<std::string>& names,
                    std::string& error) override;
    bool readOwnFile(const std::string& path, std::string& bytes, std::string& error) override;
    std::unique_ptr<LibraryLock> lockLibrary(const std::string& path,
                                             const std::function<void()>& waiting,
                                             std::string& error) override;
    std::string randomHex() override;
    std::string folderOf(const std::string& path) const override;

private:
    template <typename Call> bool attempt(FileOperation operation, Call call) const;
    // Writes bytes into the new file fd, gives it the permissions of the file
    // it replaces (when there is one) and starts its writing out.
    bool fill(int fd, const std::string& path, const NewContent& content,
              const struct stat* replaced, std::string& error) const;
    FileFaultHook hook_;
};

} // namespace quillora
