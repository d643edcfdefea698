// Owns one open registry key for the length of its life.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

namespace quillora {

class RegistryKey {
public:
    RegistryKey(Platform& platform, RegKey root, const char* subKey, std::uint32_t access,
                bool create);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    long open(const char* subKey, std::uint32_t access, bool create);
    int isOpen() const { return isOpen_; }
    // size: in, the buffer's room (at most 260); out, the size of the data read.
    long queryString(const char* valueName, char* buffer, std::uint32_t* size);
    long close();

private:
    int isOpen_ = 0;
    RegKey hRegKey = nullptr;
    RegKey hRoot;
    Platform& platform_;
};

} // namespace quillora
