#include "platform/posix/formats/Utf16Text.h"

#include <cstdint>

namespace quillora {

namespace {

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void appendUtf16(std::string& out, std::uint32_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
}

bool isHigh(std::uint32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLow(std::uint32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// The code point of the UTF-8 sequence at text[i], and its length; 0 when no
// valid sequence starts there. Surrogates are accepted (see decodeUtf16Le).
std::size_t readUtf8(const std::string& text, std::size_t i, std::uint32_t& c) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b = byte(i);
    std::size_t length = b < 0x80         ? 1
                         : (b >> 5) == 6  ? 2
                         : (b >> 4) == 14 ? 3
                         : (b >> 3) == 30 ? 4
                                          : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    c = length == 1 ? b : b & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    static const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF) {
        return 0; // overlong or out of range
    }
    return length;
}

} // namespace

bool startsWithUtf16LeBom(const std::string& bytes) {
    return bytes.compare(0, 2, kUtf16LeBom) == 0;
}

bool decodeUtf16Le(const std::string& bytes, std::string& text) {
    if (bytes.size() % 2 != 0) {
        return false;
    }
    auto unitAt = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    };
    text.clear();
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t unit = unitAt(i);
        if (isHigh(unit) && i + 2 < bytes.size() && isLow(unitAt(i + 2))) {
            appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00));
            i += 2;
        } else {
            appendUtf8(text, unit);
        }
    }
    return true;
}

std::string encodeUtf16Le(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t c = 0;
        std::size_t length = readUtf8(text, i, c);
        if (length == 0) {
            c = static_cast<unsigned char>(text[i]);
            length = 1;
        }
        if (c >= 0x10000) {
            appendUtf16(out, 0xD800 + ((c - 0x10000) >> 10));
            appendUtf16(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            appendUtf16(out, c);
        }
        i += length;
    }
    return out;
}

} // namespace quillora
