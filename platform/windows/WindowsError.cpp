#include "platform/windows/WindowsError.h"

#include "platform/SystemFailureText.h"

#include <windows.h>

namespace quillora {

std::string windowsErrorText(const std::string& what, const std::string& path, unsigned long code) {
    char message[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, message, sizeof message, nullptr);
    // System messages end with a line break.
    while (length > 0 && (message[length - 1] == '\n' || message[length - 1] == '\r' ||
                          message[length - 1] == ' ' || message[length - 1] == '.')) {
        --length;
    }
    std::string text = what + " " + path + ": ";
    text += length > 0 ? std::string(message, length) : std::string("system error");
    return text + " (" + std::to_string(code) + ")";
}

std::string systemFailureText(const std::string& what, const std::string& path, int code) {
    return windowsErrorText(what, path, static_cast<unsigned long>(code));
}

} // namespace quillora
