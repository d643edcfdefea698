// Owns one open registry key for the length of its life.
#pragma once

#include "platform/Installation.h"
#include "status/Status.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quillora {

// The status numbers the wrapper reports: the system's own codes.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorBadPathname = 161;
constexpr long kErrorMoreData = 234;
constexpr long kErrorBadDb = 1009;
constexpr long kErrorKeyDeleted = 1018;
constexpr long kErrorBadConfiguration = 1610;

class RegistryKey {
public:
    // The key at subKey held, or why it cannot be (NotFound, AccessDenied,
    // BadPath, Misconfigured, or Failed for any other reason).
    static Expected<std::unique_ptr<RegistryKey>> hold(Installation& installation,
                                                       const char* subKey, bool create);
    // Opens subKey below the machine's root for reading and writing; with
    // create, a missing key is made.
    RegistryKey(Installation& installation, const char* subKey, bool create);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // The system's status numbers, as the calls they wrap return them.
    long open(const char* subKey, bool create);
    int isOpen() const { return isOpen_; }
    // size: in, the buffer's room (at most 260); out, the size of the data read
    // (or needed, when it does not fit).
    long queryString(const char* valueName, char* buffer, std::uint32_t* size);
    long close();
    // What a diagnostic about the held key adds; empty for most.
    std::string note() const { return hRegKey != nullptr ? hRegKey->note() : std::string(); }

private:
    explicit RegistryKey(Installation& installation) : installation_(installation) {}
    Status openKey(const char* subKey, bool create);

    int isOpen_ = 0;
    std::unique_ptr<OpenKey> hRegKey;
    Installation& installation_;
};

} // namespace quillora
