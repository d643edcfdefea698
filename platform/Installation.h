// The product's installation as the system keeps it: the product's registry
// key, the drives and the product's resource library, in the tool's own terms.
#pragma once

#include "platform/DriveType.h"

#include <memory>
#include <string>

namespace quillora {

// How a registry call ended.
enum class RegistryStatus {
    Ok,
    NotFound,     // no such key or value
    AccessDenied, // the key cannot be written (or created)
    BadPath,      // the key path is malformed
    KeyDeleted,   // the key went away while it was open
    Unreadable,   // the registry cannot be read; any other failure
    Unusable,     // the registry is set up wrongly: a mistake to mend, the run stops
};

// A registry key held open; closed when destroyed.
class OpenKey {
public:
    virtual ~OpenKey() = default;
    // The value's data as stored (string values with their terminating zero
    // when they were stored with it); the value's type is not looked at.
    virtual RegistryStatus readValue(const std::string& name, std::string& data) = 0;
};

// A string table loaded from the product's resource library.
class ResourceLibrary {
public:
    virtual ~ResourceLibrary() = default;
    // False when the library has no string with that identifier.
    virtual bool loadString(unsigned id, std::string& text) const = 0;
};

class Installation {
public:
    virtual ~Installation() = default;

    // Opens the key at path (below the machine's root, no leading backslash)
    // for reading and writing; with create, a missing key is made, empty.
    // Null with the reason in status when it cannot be held.
    virtual std::unique_ptr<OpenKey> openKey(const std::string& path, bool create,
                                             RegistryStatus& status) = 0;
    // Whether openKey(path, true) would be let make the missing key at path,
    // asked without making anything; Ok where it cannot be told.
    virtual RegistryStatus mayCreateKey(const std::string& path) {
        static_cast<void>(path);
        return RegistryStatus::Ok;
    }
    // Where the registry is kept and, after a failed open, why it failed; for
    // diagnostics. Empty for the system's own registry.
    virtual std::string registryNote() const { return std::string(); }

    // root is like "d:\".
    virtual DriveType driveType(const std::string& root) = 0;

    // The resource library, opened by name; null when it cannot be opened
    // (error says why).
    virtual std::unique_ptr<ResourceLibrary> openResourceLibrary(const std::string& name,
                                                                 std::string& error) = 0;
};

} // namespace quillora
