// Case folding as Windows does it for key, value, file and option names:
// ASCII letters only, so that names in other scripts compare byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace quillora {

inline char lowerAsciiChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline char upperAsciiChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string toLowerAscii(std::string text) {
    for (char& c : text) {
        c = lowerAsciiChar(c);
    }
    return text;
}

inline bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAsciiChar(a[i]) != lowerAsciiChar(b[i])) {
            return false;
        }
    }
    return true;
}

// True when text begins with prefix, compared without regard to case.
inline bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalNoCase(text.substr(0, prefix.size()), prefix);
}

} // namespace quillora
