// The real Win32 calls behind the platform interface.
#pragma once

#include "platform/Platform.h"

namespace quillora {

// The file system of the host, with the test fault hook on each operation.
class WindowsFileSystem : public FileSystem {
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
    FileFaultHook hook_;
};

class WindowsPlatform : public Platform, public Installation {
public:
    std::string fullPath(const std::string& path) override;
    void splitPath(const std::string& path, std::string& drive, std::string& dir) override;
    Installation& installation() override { return *this; }
    std::unique_ptr<OpenKey> openKey(const std::string& path, bool create,
                                     RegistryStatus& status) override;
    std::string registryNote() const override { return registryProblem_; }
    DriveType driveType(const std::string& root) override;
    std::unique_ptr<ResourceLibrary> openResourceLibrary(const std::string& name,
                                                         std::string& error) override;
    bool readFile(const std::string& name, FileBytes& out, std::string& error) override;
    FileSystem& fileSystem() override { return files_; }

    // For tests: asked before each file operation; a Win32 error code other
    // than 0 makes that operation fail without touching the disk.
    void setFaultHook(FileFaultHook hook) { files_.setFaultHook(std::move(hook)); }

private:
    WindowsFileSystem files_;
    std::string registryProblem_; // a failure the tool has no name for
};

} // namespace quillora
