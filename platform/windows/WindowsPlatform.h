// The real Win32 calls behind the platform interface.
#pragma once

#include "platform/HostFileSystem.h"
#include "platform/Platform.h"

namespace quillora {

class WindowsPlatform : public Platform, public Installation {
public:
    std::string fullPath(const std::string& path) override;
    void splitPath(const std::string& path, std::string& drive, std::string& dir) override;
    Installation& installation() override { return *this; }
    Expected<std::unique_ptr<OpenKey>> openKey(const std::string& path, bool create) override;
    Status mayCreateKey(const std::string& path) override;
    DriveType driveType(const std::string& root) override;
    Expected<std::unique_ptr<ResourceLibrary>>
    openResourceLibrary(const std::string& name) override;
    Expected<FileBytes> readFile(const std::string& name) override;
    // The one place a stored name is resolved: its spelling on the disk.
    ResolvedPath resolve(const std::string& name) override;
    bool hasFile(const std::string& name) override;
    FileSystem& fileSystem() override { return files_; }
    // The console's Ctrl-C and Ctrl-Break, once watchHostInterrupts watches them.
    Interrupts& interrupts() override;

private:
    HostFileSystem files_;
};

} // namespace quillora
