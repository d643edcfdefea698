#include "text/TextSink.h"

#include <algorithm>

namespace quillora {

void TextSink::grow(std::size_t n) {
    // A small file stays in a small buffer; a large one is drained in pieces
    // rather than held whole.
    if (drain_ && used_ > 0 && used_ + n > pieceSize_) {
        drainHeld();
        if (buffer_.size() >= n) {
            return;
        }
    }
    constexpr std::size_t kFirstRoom = 256;
    std::size_t room = std::max({buffer_.size() * 2, used_ + n, kFirstRoom});
    // With a drain no more than a piece is ever held: growing past it would
    // only copy the text once more before the next drain.
    if (drain_) {
        room = std::min(room, std::max(pieceSize_, used_ + n));
    }
    buffer_.moveTo(room, used_);
}

void TextSink::drainHeld() {
    // After a failure the text is still taken, and dropped: the result is
    // already known to be a failure.
    if (!drain_) {
        return;
    }
    if (used_ > 0 && drained_) {
        drained_ = drain_(std::string_view(buffer_.data(), used_));
    }
    used_ = 0;
}

// Digits are formed back to front, two at a time, in a small buffer and copied
// at once: identifiers and sizes are mostly several digits long.
char* formatLongDecimal(char* p, std::uint32_t v) {
    char digits[10];
    char* const end = digits + sizeof digits;
    char* first = end;
    while (v >= 100) {
        const std::uint32_t pair = (v % 100) * 2;
        v /= 100;
        *--first = kDigitPairs[pair + 1];
        *--first = kDigitPairs[pair];
    }
    if (v >= 10) {
        *--first = kDigitPairs[v * 2 + 1];
        *--first = kDigitPairs[v * 2];
    } else {
        *--first = static_cast<char>('0' + v);
    }
    const auto count = static_cast<std::size_t>(end - first);
    std::memcpy(p, first, count);
    return p + count;
}

} // namespace quillora
