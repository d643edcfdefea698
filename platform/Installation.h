// The product's installation as the system keeps it: the product's registry
// key, the drives and the product's resource library, in the tool's own terms.
#pragma once

#include "platform/DriveType.h"
#include "status/Status.h"

#include <memory>
#include <string>

namespace quillora {

// A registry key held open; closed when destroyed.
class OpenKey {
public:
    virtual ~OpenKey() = default;
    // The value's data as stored (string values with their terminating zero
    // when they were stored with it); the value's type is not looked at.
    // NotFound when there is no such value, KeyDeleted when the key went away.
    virtual Expected<std::string> readValue(const std::string& name) = 0;
    // What a diagnostic about the key adds (a key that is only pretended);
    // empty for most.
    virtual std::string note() const { return std::string(); }
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
    // A key that cannot be held fails NotFound, AccessDenied, BadPath or
    // Misconfigured, or Failed for any other reason.
    virtual Expected<std::unique_ptr<OpenKey>> openKey(const std::string& path, bool create) = 0;
    // Whether openKey(path, true) would be let make the missing key at path,
    // asked without making anything; success where it cannot be told.
    virtual Status mayCreateKey(const std::string& path) {
        static_cast<void>(path);
        return Status();
    }
    // Where the registry is kept, for diagnostics; empty for the system's own.
    virtual std::string registryLocation() const { return std::string(); }

    // root is like "d:\".
    virtual DriveType driveType(const std::string& root) = 0;

    // The resource library, opened by name.
    virtual Expected<std::unique_ptr<ResourceLibrary>>
    openResourceLibrary(const std::string& name) = 0;
};

} // namespace quillora
