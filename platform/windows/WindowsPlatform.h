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
    bool readFile(const std::string& name, FileBytes& out, std::string& error) override;
    // The one place a stored name is resolved: its spelling on the disk.
    ResolvedPath resolve(const std::string& name) override;
    bool hasFile(const std::string& name) override;
    FileSystem& fileSystem() override { return files_; }
    // The console's Ctrl-C and Ctrl-Break, once watchHostInterrupts watches them.
    Interrupts& interrupts() override;

    // For tests: asked before each file operation; a Win32 error code other
    // than 0 makes that operation fail without touching the disk.
    void setFaultHook(FileFaultHook hook) { files_.setFaultHook(std::move(hook)); }

private:
    HostFileSystem files_;
};

} // namespace quillora
