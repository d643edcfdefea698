#include "text/TextCursor.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace quillora {

int TextCursor::peek() {
    if (!sentry()) {
        return kEnd;
    }
    if (pos_ >= text_.size()) {
        eof_ = true;
        return kEnd;
    }
    return static_cast<unsigned char>(text_[pos_]);
}

int TextCursor::get() {
    if (!sentry()) {
        return kEnd;
    }
    if (pos_ >= text_.size()) {
        eof_ = true;
        failed_ = true;
        return kEnd;
    }
    return static_cast<unsigned char>(text_[pos_++]);
}

void TextCursor::ignoreFar(std::size_t n, int delim) {
    if (failed_ || eof_) {
        return;
    }
    std::size_t limit = std::min(n, text_.size() - pos_);
    const char* start = text_.data() + pos_;
    const void* hit = delim == kEnd ? nullptr : std::memchr(start, delim, limit);
    if (hit != nullptr) {
        pos_ += static_cast<std::size_t>(static_cast<const char*>(hit) - start) + 1;
        return;
    }
    pos_ += limit;
    if (pos_ >= text_.size() && limit < n) {
        eof_ = true;
    }
}

void TextCursor::skipWhitespace() {
    if (failed_ || eof_) {
        return;
    }
    while (pos_ < text_.size() && isSpace(static_cast<unsigned char>(text_[pos_]))) {
        ++pos_;
    }
    if (pos_ >= text_.size()) {
        eof_ = true;
    }
}

namespace {

// Parses [sign]digits at text[pos]; returns false when there is no digit.
// magnitude saturates past the 64-bit range so overflow is still detected.
bool parseNumber(std::string_view text, std::size_t& pos, bool& negative, std::uint64_t& magnitude,
                 bool& overflow) {
    negative = false;
    overflow = false;
    magnitude = 0;
    std::size_t p = pos;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) {
        negative = text[p] == '-';
        ++p;
    }
    std::size_t digitsStart = p;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - 9) / 10) {
            overflow = true;
        } else {
            magnitude = magnitude * 10 + static_cast<unsigned>(text[p] - '0');
        }
        ++p;
    }
    pos = p;
    return p > digitsStart;
}

} // namespace

bool TextCursor::readMagnitude(bool& negative, std::uint64_t& magnitude, bool& overflow) {
    skipWhitespace();
    if (!sentry()) {
        return false;
    }
    const bool digits = parseNumber(text_, pos_, negative, magnitude, overflow);
    eof_ = pos_ >= text_.size();
    failed_ = !digits;
    return digits;
}

bool TextCursor::readInt32Full(std::int32_t& value) {
    bool negative = false;
    bool overflow = false;
    std::uint64_t magnitude = 0;
    if (!readMagnitude(negative, magnitude, overflow)) {
        return false;
    }
    const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    if (overflow || magnitude > limit) {
        failed_ = true;
        return false;
    }
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
    return true;
}

bool TextCursor::readUInt32Full(std::uint32_t& value) {
    bool negative = false;
    bool overflow = false;
    std::uint64_t magnitude = 0;
    if (!readMagnitude(negative, magnitude, overflow)) {
        return false;
    }
    // A negative number has no unsigned value; refusing it keeps the record intact.
    if (overflow || magnitude > 0xFFFFFFFFull || (negative && magnitude != 0)) {
        failed_ = true;
        return false;
    }
    value = static_cast<std::uint32_t>(magnitude);
    return true;
}

bool TextCursor::readCharAfterSpace(char& c) {
    skipWhitespace();
    int ch = get();
    if (ch == kEnd) {
        return false;
    }
    c = static_cast<char>(ch);
    return true;
}

bool TextCursor::readWord(std::string& word) {
    skipWhitespace();
    if (!sentry()) {
        return false;
    }
    std::size_t start = pos_;
    while (pos_ < text_.size() && !isSpace(static_cast<unsigned char>(text_[pos_]))) {
        ++pos_;
    }
    word.assign(text_.substr(start, pos_ - start));
    eof_ = pos_ >= text_.size();
    return true;
}

unsigned TextCursor::lineNumberAt(std::size_t position) const {
    std::size_t end = std::min(position, text_.size());
    return 1u + static_cast<unsigned>(std::count(
                    text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

} // namespace quillora
