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

    // Makes call; on failure says what failed on path, and the system's last
    // error (errno, GetLastError) why.
    template <typename Call>
    Status attempt(const char* what, const std::string& path, Call call) const;

    Expected<std::string> createFileWith(const std::string& path, const NewContent& content,
                                         const std::string& replacing) override;
    Expected<std::unique_ptr<OpenFile>> createOpenFile(const std::string& path) override;
    Status syncFile(const std::string& path) override;
    Status syncFolder(const std::string& folder) override;
    Status renameFile(const std::string& from, const std::string& to) override;
    Status removeFile(const std::string& path) override;
    PathInfo examine(const std::string& path) override;
    Expected<std::string> folderIdentity(const std::string& folder) override;
    Expected<std::vector<std::string>> listFolder(const std::string& folder) override;
    Expected<TextBuffer> readWhole(const std::string& path) override;
    Expected<std::string> readOwnFile(const std::string& path) override;
    Expected<std::unique_ptr<LibraryLock>>
    lockLibrary(const std::string& path, const std::function<void()>& waiting) override;
    Expected<std::unique_ptr<LibraryLock>>
    shareLibraryLock(const std::string& path, const std::function<void()>& waiting) override;
    Status mayReplace(const std::string& path) override;
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
