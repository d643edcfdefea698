// The one form of every diagnostic about a file: "file:line: reason".
#pragma once

#include <string>
#include <string_view>

namespace quillora {

inline std::string diagnosticAt(std::string_view file, unsigned line, std::string_view reason) {
    std::string text(file);
    text += ':';
    text += std::to_string(line);
    text += ": ";
    text += reason;
    return text;
}

} // namespace quillora
