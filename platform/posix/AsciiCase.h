// Case folding as Windows does it for key, value and file names: ASCII letters
// only, so that names in other scripts compare byte for byte.
#pragma once

#include <string>

namespace quillora {

inline char lowerAsciiChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string lowerAscii(std::string text) {
    for (char& c : text) {
        c = lowerAsciiChar(c);
    }
    return text;
}

inline bool equalNoCase(const std::string& a, const std::string& b) {
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

inline bool startsWithNoCaseAscii(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && equalNoCase(text.substr(0, prefix.size()), prefix);
}

} // namespace quillora
