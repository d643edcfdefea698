// The one boundary between the tool and the operating system. Everything the
// tool needs from Windows (or from the POSIX stand-ins) goes through here, so a
// whole run can be driven in tests by a fake.
#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quillora {

// Opaque registry key handle; on Windows it is an HKEY.
using RegKey = void*;

// HKEY_LOCAL_MACHINE as Windows defines it: 0x80000002, sign-extended.
inline RegKey hkeyLocalMachine() {
    return reinterpret_cast<RegKey>(
        static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000002u)));
}

// Win32 status codes the tool relies on.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorMoreData = 234;

constexpr std::uint32_t kKeyReadWrite = 0x2001F; // KEY_READ | KEY_WRITE
constexpr std::uint32_t kRegOptionNonVolatile = 0;
constexpr std::uint32_t kRegSz = 1;

// GetDriveTypeA results.
constexpr unsigned kDriveUnknown = 0;
constexpr unsigned kDriveNoRootDir = 1;
constexpr unsigned kDriveRemovable = 2;
constexpr unsigned kDriveFixed = 3;
constexpr unsigned kDriveRemote = 4;
constexpr unsigned kDriveCdRom = 5;

// A string table loaded from the product's resource library.
class ResourceLibrary {
public:
    virtual ~ResourceLibrary() = default;
    // False when the library has no string with that identifier.
    virtual bool loadString(unsigned id, std::string& text) const = 0;
};

// A whole file as read from disk, with the path it was actually found at.
struct FileBytes {
    std::string bytes;
    std::string resolvedPath;
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- drives (GetDriveTypeA): root is like "d:\"
    virtual unsigned driveType(const std::string& root) = 0;

    // --- paths (_fullpath, _splitpath)
    // Absolute form of path; empty on failure.
    virtual std::string fullPath(const std::string& path) = 0;
    // Drive ("c:" or empty) and directory (ending with a separator) of path.
    virtual void splitPath(const std::string& path, std::string& drive, std::string& dir) = 0;

    // --- registry, with the Win32 signatures and status codes
    virtual long regOpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                              std::uint32_t samDesired, RegKey* result) = 0;
    virtual long regCreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                                const char* keyClass, std::uint32_t options,
                                std::uint32_t samDesired, RegKey* result,
                                std::uint32_t* disposition) = 0;
    virtual long regQueryValueEx(RegKey key, const char* valueName, std::uint32_t* type,
                                 unsigned char* data, std::uint32_t* size) = 0;
    virtual long regCloseKey(RegKey key) = 0;
    // Where the registry is kept and, after a failed open or create, why it
    // failed; for diagnostics. Empty for the system's own registry.
    virtual std::string registryNote() const { return std::string(); }

    // --- the product's resource library, opened by name; null when it cannot be
    // opened (error says why)
    virtual std::unique_ptr<ResourceLibrary> openResourceLibrary(const std::string& name,
                                                                 std::string& error) = 0;

    // --- whole files. name is as stored by the product (Windows form allowed);
    // the platform finds the file and reports where.
    virtual bool readFile(const std::string& name, FileBytes& out, std::string& error) = 0;
    // The operations a commit is built from.
    virtual FileSystem& fileSystem() = 0;
    // Replaces the file at resolvedPath with bytes at once: either the old or the
    // new content survives, never a mix.
    virtual bool replaceFile(const std::string& resolvedPath, const std::string& bytes,
                             std::string& error);
};

// The platform the program itself runs on (POSIX stand-ins or real Win32).
std::unique_ptr<Platform> makeHostPlatform();

// Sets up the process for a run, once, before it starts: a run frees the large
// buffers of one package (its file's text, its entries' texts, its new content)
// and takes as much again for the next; where the host allows, that memory is
// kept for reuse.
void prepareHostProcess();

} // namespace quillora
