#include "platform/TextSink.h"

namespace quillora {

TextSink& TextSink::u32(std::uint32_t v) {
    char buf[10];
    int n = 0;
    do {
        buf[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n > 0) {
        out_.push_back(buf[--n]);
    }
    return *this;
}

TextSink& TextSink::i32(std::int32_t v) {
    if (v < 0) {
        out_.push_back('-');
        return u32(0u - static_cast<std::uint32_t>(v));
    }
    return u32(static_cast<std::uint32_t>(v));
}

} // namespace quillora
