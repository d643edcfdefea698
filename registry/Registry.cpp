#include "registry/Registry.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

namespace quillora {

namespace {

constexpr std::uint32_t kValueRoom = 260;

long statusNumber(const Status& status) {
    switch (status.failure()) {
    case Failure::None:
        return kErrorSuccess;
    case Failure::NotFound:
        return kErrorFileNotFound;
    case Failure::AccessDenied:
        return kErrorAccessDenied;
    case Failure::BadPath:
        return kErrorBadPathname;
    case Failure::KeyDeleted:
        return kErrorKeyDeleted;
    case Failure::Misconfigured:
        return kErrorBadConfiguration;
    default:
        return kErrorBadDb;
    }
}

} // namespace

Expected<std::unique_ptr<RegistryKey>> RegistryKey::hold(Installation& installation,
                                                         const char* subKey, bool create) {
    std::unique_ptr<RegistryKey> key(new RegistryKey(installation));
    Status opened = key->openKey(subKey, create);
    if (!opened) {
        return opened;
    }
    return key;
}

RegistryKey::RegistryKey(Installation& installation, const char* subKey, bool create)
    : installation_(installation) {
    open(subKey, create);
}

RegistryKey::~RegistryKey() {
    close();
}

long RegistryKey::open(const char* subKey, bool create) {
    return statusNumber(openKey(subKey, create));
}

Status RegistryKey::openKey(const char* subKey, bool create) {
    if (subKey[0] == '\\') {
        ++subKey;
    }
    if (isOpen_) {
        close();
    }
    Expected<std::unique_ptr<OpenKey>> key = installation_.openKey(subKey, create);
    if (!key) {
        return key.status();
    }
    if (*key == nullptr) {
        return Status::failed("the registry handed back no key"); // no key without a reason
    }
    hRegKey = std::move(*key);
    isOpen_ = 1;
    return Status();
}

long RegistryKey::queryString(const char* valueName, char* buffer, std::uint32_t* size) {
    assert(hRegKey != NULL);
    if (!isOpen_) {
        return -1;
    }
    std::uint32_t room = std::min(*size, kValueRoom);
    Expected<std::string> value = hRegKey->readValue(valueName);
    if (!value) {
        return statusNumber(value.status());
    }
    const std::string& data = *value;
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
