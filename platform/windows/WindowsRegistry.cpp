#include "platform/windows/WindowsError.h"
#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

#include <utility>

namespace quillora {

namespace {

// The failures the tool tells apart; any other is Failed, with otherwise for reason.
Status statusOf(LSTATUS code, std::string otherwise = std::string()) {
    switch (code) {
    case ERROR_SUCCESS:
        return Status();
    case ERROR_FILE_NOT_FOUND:
        return Status::failed(Failure::NotFound, std::string());
    case ERROR_ACCESS_DENIED:
        return Status::failed(Failure::AccessDenied, std::string());
    case ERROR_BAD_PATHNAME:
        return Status::failed(Failure::BadPath, std::string());
    case ERROR_KEY_DELETED:
        return Status::failed(Failure::KeyDeleted, std::string());
    default:
        return Status::failed(std::move(otherwise));
    }
}

class WindowsKey : public OpenKey {
public:
    explicit WindowsKey(HKEY key) : key_(key) {}
    ~WindowsKey() override { RegCloseKey(key_); }
    WindowsKey(const WindowsKey&) = delete;
    WindowsKey& operator=(const WindowsKey&) = delete;

    Expected<std::string> readValue(const std::string& name) override {
        std::string data;
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
        if (code != ERROR_SUCCESS) {
            return statusOf(code);
        }
        return data;
    }

private:
    HKEY key_;
};

} // namespace

Expected<std::unique_ptr<OpenKey>> WindowsPlatform::openKey(const std::string& path, bool create) {
    HKEY key = nullptr;
    const REGSAM access = KEY_READ | KEY_WRITE;
    // The class is only read; the API's prototype predates const.
    char keyClass[] = "RegistryKey";
    LSTATUS code = create ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, keyClass,
                                            REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr)
                          : RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key);
    if (code != ERROR_SUCCESS) {
        return statusOf(
            code, windowsErrorText("cannot open", "the key", static_cast<unsigned long>(code)));
    }
    return std::unique_ptr<OpenKey>(std::make_unique<WindowsKey>(key));
}

// The nearest key above path that is there must let this user add a key.
Status WindowsPlatform::mayCreateKey(const std::string& path) {
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
            return Status();
        }
        if (code != ERROR_FILE_NOT_FOUND || parent.empty()) {
            return statusOf(code);
        }
    }
}

} // namespace quillora
