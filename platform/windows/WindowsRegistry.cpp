#include "platform/windows/WindowsError.h"
#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

namespace quillora {

namespace {

RegistryStatus statusOf(LSTATUS code) {
    switch (code) {
    case ERROR_SUCCESS:
        return RegistryStatus::Ok;
    case ERROR_FILE_NOT_FOUND:
        return RegistryStatus::NotFound;
    case ERROR_ACCESS_DENIED:
        return RegistryStatus::AccessDenied;
    case ERROR_BAD_PATHNAME:
        return RegistryStatus::BadPath;
    case ERROR_KEY_DELETED:
        return RegistryStatus::KeyDeleted;
    default:
        return RegistryStatus::Unreadable;
    }
}

class WindowsKey : public OpenKey {
public:
    explicit WindowsKey(HKEY key) : key_(key) {}
    ~WindowsKey() override { RegCloseKey(key_); }
    WindowsKey(const WindowsKey&) = delete;
    WindowsKey& operator=(const WindowsKey&) = delete;

    RegistryStatus readValue(const std::string& name, std::string& data) override {
        DWORD size = 0;
        LSTATUS code = RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, &size);
        // The value may grow between the two calls.
        while (code == ERROR_SUCCESS || code == ERROR_MORE_DATA) {
            data.resize(size);
            DWORD room = size;
            code = RegQueryValueExA(key_, name.c_str(), nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(&data[0]), &room);
            if (code == ERROR_SUCCESS) {
                data.resize(room);
                break;
            }
            size = room;
        }
        return statusOf(code);
    }

private:
    HKEY key_;
};

} // namespace

std::unique_ptr<OpenKey> WindowsPlatform::openKey(const std::string& path, bool create,
                                                  RegistryStatus& status) {
    HKEY key = nullptr;
    const REGSAM access = KEY_READ | KEY_WRITE;
    // The class is only read; the API's prototype predates const.
    char keyClass[] = "RegistryKey";
    LSTATUS code = create ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, keyClass,
                                            REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr)
                          : RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key);
    status = statusOf(code);
    registryProblem_ =
        status == RegistryStatus::Unreadable
            ? windowsErrorText("cannot open", "the key", static_cast<unsigned long>(code))
            : std::string();
    return status == RegistryStatus::Ok ? std::make_unique<WindowsKey>(key) : nullptr;
}

// The nearest key above path that is there must let this user add a key.
RegistryStatus WindowsPlatform::mayCreateKey(const std::string& path) {
    std::string parent = path;
    while (true) {
        const std::size_t cut = parent.find_last_of('\\');
        parent.resize(cut == std::string::npos ? 0 : cut);
        HKEY key = nullptr;
        const LSTATUS code =
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent.empty() ? nullptr : parent.c_str(), 0,
                          KEY_CREATE_SUB_KEY, &key);
        if (code == ERROR_SUCCESS) {
            RegCloseKey(key);
            return RegistryStatus::Ok;
        }
        if (code != ERROR_FILE_NOT_FOUND || parent.empty()) {
            return statusOf(code);
        }
    }
}

} // namespace quillora
