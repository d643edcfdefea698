#pragma once

#include <string>
#include <string_view>

namespace quillora {

// "file:line: reason", the form of every load and save diagnostic.
inline std::string diagnosticAt(const std::string& file, unsigned line, std::string_view reason) {
    std::string text = file;
    text += ':';
    text += std::to_string(line);
    text += ": ";
    text += reason;
    return text;
}

} // namespace quillora
