// Owns one open registry key for the length of its life.
#pragma once

#include "platform/Installation.h"

#include <cstdint>
#include <memory>

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
    // Opens subKey below the machine's root for reading and writing; with
    // create, a missing key is made.
    RegistryKey(Installation& installation, const char* subKey, bool create);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    long open(const char* subKey, bool create);
    int isOpen() const { return isOpen_; }
    // What the last open returned.
    long openStatus() const { return openStatus_; }
    // size: in, the buffer's room (at most 260); out, the size of the data read
    // (or needed, when it does not fit).
    long queryString(const char* valueName, char* buffer, std::uint32_t* size);
    long close();

private:
    int isOpen_ = 0;
    long openStatus_ = -1;
    std::unique_ptr<OpenKey> hRegKey;
    Installation& installation_;
};

} // namespace quillora
