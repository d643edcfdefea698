// How a failed system call is told in a diagnostic, on either host.
#pragma once

#include <string>

namespace quillora {

// "what path: reason", the reason being the system's text for code (an errno
// value on POSIX, a Win32 error code on Windows).
std::string systemFailureText(const std::string& what, const std::string& path, int code);

} // namespace quillora
