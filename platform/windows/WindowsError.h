// Text for a failed Win32 call, for diagnostics.
#pragma once

#include <string>

namespace quillora {

// "what path: system message (code)" for the given Win32 error code.
std::string windowsErrorText(const std::string& what, const std::string& path, unsigned long code);

} // namespace quillora
