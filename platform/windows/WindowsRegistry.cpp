#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

namespace quillora {

namespace {

HKEY toHkey(RegKey key) {
    return reinterpret_cast<HKEY>(key);
}

} // namespace

long WindowsPlatform::regOpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                                   std::uint32_t samDesired, RegKey* result) {
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExA(toHkey(root), subKey, options, samDesired, &opened);
    *result = opened;
    return status;
}

long WindowsPlatform::regCreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                                     const char* keyClass, std::uint32_t options,
                                     std::uint32_t samDesired, RegKey* result,
                                     std::uint32_t* disposition) {
    HKEY created = nullptr;
    DWORD how = 0;
    // The class is only read; the API's prototype predates const.
    LSTATUS status = RegCreateKeyExA(toHkey(root), subKey, reserved, const_cast<char*>(keyClass),
                                     options, samDesired, nullptr, &created, &how);
    *result = created;
    if (disposition != nullptr) {
        *disposition = how;
    }
    return status;
}

long WindowsPlatform::regQueryValueEx(RegKey key, const char* valueName, std::uint32_t* type,
                                      unsigned char* data, std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD room = size != nullptr ? *size : 0;
    LSTATUS status = RegQueryValueExA(toHkey(key), valueName, nullptr, &valueType, data,
                                      size != nullptr ? &room : nullptr);
    if (type != nullptr) {
        *type = valueType;
    }
    if (size != nullptr) {
        *size = room;
    }
    return status;
}

long WindowsPlatform::regCloseKey(RegKey key) {
    return RegCloseKey(toHkey(key));
}

} // namespace quillora
