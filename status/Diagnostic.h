// The one form of every diagnostic about a file: "file:line: reason", or
// "file: reason" where no line is at fault (a file that cannot be opened).
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

inline std::string diagnosticAt(std::string_view file, std::string_view reason) {
    std::string text(file);
    text += ": ";
    text += reason;
    return text;
}

} // namespace quillora
