#include "registry/Registry.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace quillora {

namespace {
constexpr std::uint32_t kValueRoom = 260;
}

RegistryKey::RegistryKey(Platform& platform, RegKey root, const char* subKey,
                         std::uint32_t access, bool create)
    : hRoot(root), platform_(platform) {
    open(subKey, access, create);
}

RegistryKey::~RegistryKey() { close(); }

long RegistryKey::open(const char* subKey, std::uint32_t access, bool create) {
    if (subKey[0] == '\\') {
        ++subKey;
    }
    if (isOpen_) {
        close();
    }
    long status;
    if (create) {
        std::uint32_t disposition = 0;
        status = platform_.regCreateKeyEx(hRoot, subKey, 0, "RegistryKey", kRegOptionNonVolatile,
                                          access, &hRegKey, &disposition);
    } else {
        status = platform_.regOpenKeyEx(hRoot, subKey, 0, access, &hRegKey);
    }
    if (status == kErrorSuccess) {
        isOpen_ = 1;
    } else {
        hRegKey = nullptr;
    }
    return status;
}

long RegistryKey::queryString(const char* valueName, char* buffer, std::uint32_t* size) {
    assert(hRegKey != NULL);
    if (!isOpen_) {
        return -1;
    }
    unsigned char data[kValueRoom];
    std::uint32_t type = 0;
    if (*size > kValueRoom) {
        *size = kValueRoom;
    }
    std::uint32_t room = *size;
    long status = platform_.regQueryValueEx(hRegKey, valueName, &type, data, size);
    if (status == kErrorSuccess && *size != 0 && room != 0) {
        // Never read past what the query returned; always leave a terminated text.
        std::size_t length = std::min<std::size_t>(*size, room);
        const void* zero = std::memchr(data, '\0', length);
        std::size_t copy = zero != nullptr ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - data)
                                           : std::min<std::size_t>(length, room - 1);
        std::memcpy(buffer, data, copy);
        buffer[copy] = '\0';
    }
    return status;
}

long RegistryKey::close() {
    long status = -1;
    if (hRegKey != nullptr) {
        status = platform_.regCloseKey(hRegKey);
        hRegKey = nullptr;
    }
    isOpen_ = 0;
    return status;
}

} // namespace quillora
