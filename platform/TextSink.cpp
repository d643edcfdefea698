#include "platform/TextSink.h"

#include <algorithm>

namespace quillora {

void TextSink::grow(std::size_t n) {
    constexpr std::size_t kFirstRoom = 256;
    buffer_.resize(std::max({buffer_.size() * 2, used_ + n, kFirstRoom}));
}

// Digits are formed back to front in a small buffer and copied at once.
TextSink& TextSink::u32Long(std::uint32_t v) {
    char digits[10];
    char* const end = digits + sizeof digits;
    char* first = end;
    do {
        *--first = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    return text(std::string_view(first, static_cast<std::size_t>(end - first)));
}

} // namespace quillora
