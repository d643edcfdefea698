#include "platform/windows/WindowsError.h"
#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

namespace quillora {

namespace {

// A loaded resource DLL, freed with the object.
class WindowsResourceLibrary : public ResourceLibrary {
public:
    explicit WindowsResourceLibrary(HMODULE module) : module_(module) {}
    ~WindowsResourceLibrary() override { FreeLibrary(module_); }
    WindowsResourceLibrary(const WindowsResourceLibrary&) = delete;
    WindowsResourceLibrary& operator=(const WindowsResourceLibrary&) = delete;

    bool loadString(unsigned id, std::string& text) const override {
        // Room for the longest string a resource compiler accepts.
        char buffer[4098];
        int length = LoadStringA(module_, id, buffer, sizeof buffer);
        if (length <= 0) {
            return false;
        }
        text.assign(buffer, static_cast<std::size_t>(length));
        return true;
    }

private:
    HMODULE module_;
};

} // namespace

Expected<std::unique_ptr<ResourceLibrary>>
WindowsPlatform::openResourceLibrary(const std::string& name) {
    HMODULE module = LoadLibraryA(name.c_str());
    if (module == nullptr) {
        return Status::failed(windowsErrorText("cannot load", name + ".dll", GetLastError()));
    }
    return std::unique_ptr<ResourceLibrary>(std::make_unique<WindowsResourceLibrary>(module));
}

} // namespace quillora
