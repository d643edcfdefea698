// Bytes written as hexadecimal digits, as the names of staged files take them.
#pragma once

#include <cstddef>
#include <string>

namespace quillora {

// bytes as lower-case hexadecimal digits, two a byte.
inline std::string hexText(const unsigned char* bytes, std::size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

} // namespace quillora
