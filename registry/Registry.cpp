#include "registry/Registry.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace quillora {

namespace {

constexpr std::uint32_t kValueRoom = 260;

long statusNumber(RegistryStatus status) {
    switch (status) {
    case RegistryStatus::Ok:
        return kErrorSuccess;
    case RegistryStatus::NotFound:
        return kErrorFileNotFound;
    case RegistryStatus::AccessDenied:
        return kErrorAccessDenied;
    case RegistryStatus::BadPath:
        return kErrorBadPathname;
    case RegistryStatus::KeyDeleted:
        return kErrorKeyDeleted;
    case RegistryStatus::Unusable:
        return kErrorBadConfiguration;
    case RegistryStatus::Unreadable:
        break;
    }
    return kErrorBadDb;
}

} // namespace

RegistryKey::RegistryKey(Installation& installation, const char* subKey, bool create)
    : installation_(installation) {
    open(subKey, create);
}

RegistryKey::~RegistryKey() {
    close();
}

long RegistryKey::open(const char* subKey, bool create) {
    if (subKey[0] == '\\') {
        ++subKey;
    }
    if (isOpen_) {
        close();
    }
    RegistryStatus status = RegistryStatus::Ok;
    hRegKey = installation_.openKey(subKey, create, status);
    if (hRegKey == nullptr && status == RegistryStatus::Ok) {
        status = RegistryStatus::Unreadable; // no key without a reason
    }
    isOpen_ = hRegKey != nullptr ? 1 : 0;
    openStatus_ = statusNumber(status);
    return openStatus_;
}

long RegistryKey::queryString(const char* valueName, char* buffer, std::uint32_t* size) {
    assert(hRegKey != NULL);
    if (!isOpen_) {
        return -1;
    }
    std::uint32_t room = std::min(*size, kValueRoom);
    std::string data;
    RegistryStatus status = hRegKey->readValue(valueName, data);
    if (status != RegistryStatus::Ok) {
        return statusNumber(status);
    }
    *size = static_cast<std::uint32_t>(data.size());
    if (data.size() > room) {
        return kErrorMoreData;
    }
    if (!data.empty() && room != 0) {
        // Always leave a terminated text, also of a value stored without its NUL.
        std::size_t copy = std::min(std::strlen(data.c_str()), std::size_t{room} - 1);
        std::memcpy(buffer, data.data(), copy);
        buffer[copy] = '\0';
    }
    return kErrorSuccess;
}

long RegistryKey::close() {
    long status = hRegKey != nullptr ? kErrorSuccess : -1;
    hRegKey.reset();
    isOpen_ = 0;
    return status;
}

} // namespace quillora
