// The file system of the host: posix/PosixFiles.cpp or windows/WindowsFiles.cpp,
// whichever is built.
#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <memory>
#include <string>

namespace quillora {

// A folder held open by its handle (posix/ or windows/ says what it holds).
class OpenFolder;

class HostFileSystem : public FileSystem {
public:
    HostFileSystem();
    ~HostFileSystem() override;
    HostFileSystem(const HostFileSystem&) = delete;
    HostFileSystem& operator=(const HostFileSystem&) = delete;

    // Makes call; on failure error says what failed on path, and the system's
    // last error (errno, GetLastError) why.
    template <typename Call>
    bool attempt(const char* what, const std::string& path, std::string& error, Call call) const;

    CreateStatus createFileWith(const std::string& path, const NewContent& content,
                                const std::string& replacing, std::string& identity,
                                std::string& error) override;
    std::unique_ptr<OpenFile> createOpenFile(const std::string& path, CreateStatus& status,
                                             std::string& error) override;
    bool syncFile(const std::string& path, std::string& error) override;
    bool syncFolder(const std::string& folder, std::string& error) override;
    bool renameFile(const std::string& from, const std::string& to, std::string& error) override;
    bool removeFile(const std::string& path, std::string& error) override;
    PathInfo examine(const std::string& path) override;
    bool folderIdentity(const std::string& folder, std::string& identity,
                        std::string& error) override;
    bool listFolder(const std::string& folder, std::vector<std::string>& names,
                    std::string& error) override;
    bool readWhole(const std::string& path, std::string& bytes, std::string& error) override;
    bool readOwnFile(const std::string& path, std::string& bytes, std::string& error) override;
    std::unique_ptr<LibraryLock> lockLibrary(const std::string& path,
                                             const std::function<void()>& waiting,
                                             std::string& error) override;
    std::unique_ptr<LibraryLock> shareLibraryLock(const std::string& path,
                                                  const std::function<void()>& waiting,
                                                  std::string& error) override;
    bool mayReplace(const std::string& path, std::string& error) override;
    std::string randomHex() override;
    std::string folderOf(const std::string& path) const override;

    // folder (as folderOf gives it), opened on its first use and held for as
    // long as this object lives: whatever is later put at its name, the run
    // goes on in the folder it first found. Null, with error saying why, when
    // it cannot be opened; errno (GetLastError) is kept.
    const OpenFolder* openFolder(const std::string& folder, std::string& error);

private:
    std::map<std::string, std::unique_ptr<OpenFolder>> folders_;
};

} // namespace quillora
