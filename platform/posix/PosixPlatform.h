// The POSIX stand-ins for the Windows interfaces the product uses, on files
// whose text forms common/ reads:
// - the registry: HKEY_LOCAL_MACHINE in one regedit export file (RegistryStore),
// - the drive table: drive letters, their types and folders, kept in that file
//   (DriveTable),
// - the resource library "KIVRes": the resource script KIVRes.rc
//   (ResourceScript),
// - paths: Windows paths mapped onto the host's files (PathMapping).
#pragma once

#include "platform/HostFileSystem.h"
#include "platform/Platform.h"
#include "platform/posix/TrustedPath.h"
#include "platform/posix/formats/RegistryStore.h"

#include <string>
#include <vector>

namespace quillora {

class DriveTable;

// Where the stand-ins find their files.
struct PosixSettings {
    // The registry store file; empty when there is none (no key can be opened).
    std::string registryFile;
    // Create the store's folder when the first key is created (only for the
    // default location: a folder named by the user is not invented).
    bool createRegistryFolder = false;
    // The folders searched for resource libraries, in order.
    std::vector<std::string> resourceFolders;

    // The store: QUILLORA_REGISTRY; else the machine's store when anything is
    // there (machine-wide, as HKEY_LOCAL_MACHINE is); else the user's
    // $XDG_CONFIG_HOME/quillora/registry.reg, with $HOME/.config for an unset
    // XDG_CONFIG_HOME. Resource folders: those of QUILLORA_RESOURCE_PATH
    // (separated by ':'), then the program's folder (from /proc/self/exe), then
    // ../share/quillora from there.
    static PosixSettings fromEnvironment(const std::string& machineStore = kMachineStore);
    static constexpr const char* kMachineStore = "/etc/quillora/registry.reg";
};

class PosixPlatform : public Platform, public Installation {
public:
    PosixPlatform();
    explicit PosixPlatform(PosixSettings settings);
    PosixPlatform(const PosixPlatform&) = delete;
    PosixPlatform& operator=(const PosixPlatform&) = delete;

    std::string fullPath(const std::string& path) override;
    void splitPath(const std::string& path, std::string& drive, std::string& dir) override;
    Installation& installation() override { return *this; }
    Expected<std::unique_ptr<OpenKey>> openKey(const std::string& path, bool create) override;
    Status mayCreateKey(const std::string& path) override;
    std::string registryLocation() const override;
    DriveType driveType(const std::string& root) override;
    Expected<std::unique_ptr<ResourceLibrary>>
    openResourceLibrary(const std::string& name) override;
    Expected<FileBytes> readFile(const std::string& name) override;
    ResolvedPath resolve(const std::string& name) override { return ResolvedPath(hostPath(name)); }
    bool hasFile(const std::string& name) override;
    FileSystem& fileSystem() override { return files_; }
    // The signals watchHostInterrupts watches.
    Interrupts& interrupts() override;

    // Where a stored (possibly Windows-form) name lies on this machine: the
    // one place a stored name is resolved.
    std::string hostPath(const std::string& name);

    // A value of the key at keyPath, as the store file now holds it.
    Expected<std::string> readValue(const std::string& keyPath, const std::string& name);

private:
    // The store as the file now holds it (re-read when the file changed).
    // A failure when it cannot be read: what a registry call then returns.
    Status loadStore();
    // Opens the store's folder once, by the trust rule of TrustedPath.h;
    // NotFound for a missing default folder that create does not make.
    Status openStoreFolder(bool create);
    // The store file's bytes and stamp, read through its folder.
    Status readStore(std::string& bytes, std::string& stamp);
    // Replaces the store file with bytes, through its folder.
    Status saveStore(const std::string& bytes);
    // The drive table as the store now holds it (empty when it cannot be read).
    DriveTable drives();

    PosixSettings settings_;
    // The folder the store file lies in, and its name there (no link).
    FileDescriptor storeFolder_;
    std::string storeName_;
    RegistryStore store_;
    // Identity and age of the file store_ was read from; empty when store_ is
    // not what the file holds.
    std::string storeStamp_;
    HostFileSystem files_;
};

} // namespace quillora
