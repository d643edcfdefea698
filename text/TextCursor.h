// A read cursor over a whole text held in memory, with the stream semantics the
// file readers rely on: once failed, every operation does nothing; an operation
// that starts at the end of the input sets the failed state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quillora {

// Space, tab, newline, vertical tab, form feed, CR: the last five are 9 to 13.
inline bool isSpace(int c) {
    return c == ' ' || static_cast<unsigned>(c - '\t') <= static_cast<unsigned>('\r' - '\t');
}

class TextCursor {
public:
    static constexpr int kEnd = -1;

    explicit TextCursor(std::string_view text) : text_(text) {}

    // Next character without consuming it; kEnd at the end (marks end of input).
    int peek();
    // Consumes one character; kEnd (and failed) at the end.
    int get();
    // Drops one character, whatever it is, unless at the end.
    void skipOne() {
        if (failed_ || eof_) {
            return;
        }
        if (pos_ >= text_.size()) {
            eof_ = true;
            return;
        }
        ++pos_;
    }
    // Drops up to n characters, stopping after the first delim (consumed).
    // Never fails: at the end it does nothing.
    void ignore(std::size_t n, int delim) {
        // Most lines end right after their last field, or one tab later.
        if (!failed_ && !eof_ && delim != kEnd && n >= 2 && text_.size() - pos_ >= 2) {
            const char d = static_cast<char>(delim);
            if (text_[pos_] == d || text_[pos_ + 1] == d) {
                pos_ += text_[pos_] == d ? 1 : 2;
                return;
            }
        }
        ignoreFar(n, delim);
    }
    // Moves on to position, at or after the current one and within the text:
    // for a reader that has looked at the characters itself.
    void skipTo(std::size_t position) { pos_ = position; }
    // Drops leading whitespace (space, tab, newline, CR, VT, FF).
    void skipWhitespace();

    // Formatted reads: leading whitespace skipped; a number out of range, or no
    // digits at all, fails the cursor. The value is untouched on failure.
    inline bool readInt32(std::int32_t& value);
    inline bool readUInt32(std::uint32_t& value);
    // Formatted read of one non-whitespace character.
    bool readChar(char& c) {
        // The usual case, a record's tag after its line's end, inline; the end
        // of the text is left to the full read, which sets the state.
        if (!failed_ && !eof_) {
            std::size_t p = pos_;
            while (p < text_.size() && isSpace(static_cast<unsigned char>(text_[p]))) {
                ++p;
            }
            if (p < text_.size()) {
                c = text_[p];
                pos_ = p + 1;
                return true;
            }
        }
        return readCharAfterSpace(c);
    }
    // Formatted read of a word: non-whitespace characters up to whitespace.
    bool readWord(std::string& word);

    // Characters up to delim; the delim is consumed and not stored. Reaching the
    // end before delim marks end of input; reading nothing at all then fails.
    // The view is into the text; it is left as it was when the cursor had
    // already failed or ended.
    inline bool readUntil(std::string_view& out, char delim);
    // The same into a string of its own.
    bool readUntil(std::string& out, char delim) {
        if (!sentry()) {
            return false;
        }
        std::string_view field;
        const bool ok = readUntil(field, delim);
        out.assign(field.data(), field.size());
        return ok;
    }

    std::string_view text() const { return text_; }
    bool failed() const { return failed_; }
    bool atEnd() const { return eof_; }
    bool good() const { return !failed_ && !eof_; }
    std::size_t position() const { return pos_; }
    // 1-based line of the current position, for diagnostics.
    unsigned lineNumber() const { return lineNumberAt(pos_); }
    // 1-based line of an earlier position, such as the start of a record.
    unsigned lineNumberAt(std::size_t position) const;

private:
    // Like an istream sentry: an operation started at the end of input fails.
    bool sentry() {
        if (failed_) {
            return false;
        }
        if (eof_) {
            failed_ = true;
            return false;
        }
        return true;
    }
    // The common short number, read inline: whitespace, a minus when allowed, at
    // most 9 digits (so no overflow), not near the end of the text. Moves
    // nothing when the number is anything else; the full readers below then
    // decide.
    inline bool readShortNumber(std::uint32_t& magnitude, bool& negative, bool allowMinus);
    // memchr for the short fields that are the rule: a call costs more than
    // looking at their characters eight at a time.
    static inline const void* findShort(const char* start, std::size_t left, char delim);
    // Whitespace, then [sign]digits: false (and failed) when there is no digit.
    bool readMagnitude(bool& negative, std::uint64_t& magnitude, bool& overflow);
    bool readInt32Full(std::int32_t& value);
    bool readCharAfterSpace(char& c);
    void ignoreFar(std::size_t n, int delim);
    bool readUInt32Full(std::uint32_t& value);

    std::string_view text_;
    std::size_t pos_ = 0;
    bool failed_ = false;
    bool eof_ = false;
};

bool TextCursor::readShortNumber(std::uint32_t& magnitude, bool& negative, bool allowMinus) {
    if (failed_ || eof_) {
        return false;
    }
    const char* p = text_.data() + pos_;
    const char* const end = text_.data() + text_.size();
    while (p < end && isSpace(static_cast<unsigned char>(*p))) {
        ++p;
    }
    // A sign, nine digits and the character after them all lie before the end,
    // so the digits are read without a test against it.
    if (end - p < 11) {
        return false;
    }
    negative = allowMinus && *p == '-';
    if (negative) {
        ++p;
    }
    const char* const digits = p;
    std::uint32_t m = 0;
    for (unsigned digit; p - digits < 9 && (digit = static_cast<unsigned>(*p - '0')) < 10u; ++p) {
        m = m * 10u + digit;
    }
    if (p == digits || static_cast<unsigned>(*p - '0') < 10u) {
        return false;
    }
    pos_ = static_cast<std::size_t>(p - text_.data());
    magnitude = m;
    return true;
}

const void* TextCursor::findShort(const char* start, std::size_t left, char delim) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    const std::uint64_t pattern = kOnes * static_cast<unsigned char>(delim);
    const char* p = start;
    const char* const end = start + left;
    for (int block = 0; block < 4 && end - p >= 8; ++block, p += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t x = word ^ pattern;
        // Some byte of the eight is delim exactly when some byte of x is zero.
        if (((x - kOnes) & ~x & kHighs) != 0) {
            while (*p != delim) {
                ++p;
            }
            return p;
        }
    }
    return std::memchr(p, delim, static_cast<std::size_t>(end - p));
}

bool TextCursor::readUntil(std::string_view& out, char delim) {
    if (!sentry()) {
        return false;
    }
    const char* start = text_.data() + pos_;
    const std::size_t left = text_.size() - pos_;
    const void* hit = findShort(start, left, delim);
    if (hit != nullptr) {
        const auto len = static_cast<std::size_t>(static_cast<const char*>(hit) - start);
        out = std::string_view(start, len);
        pos_ += len + 1;
        return true;
    }
    out = std::string_view(start, left);
    pos_ = text_.size();
    eof_ = true;
    if (left == 0) {
        failed_ = true;
        return false;
    }
    return true;
}

bool TextCursor::readInt32(std::int32_t& value) {
    std::uint32_t magnitude = 0;
    bool negative = false;
    if (readShortNumber(magnitude, negative, true)) {
        value =
            negative ? -static_cast<std::int32_t>(magnitude) : static_cast<std::int32_t>(magnitude);
        return true;
    }
    return readInt32Full(value);
}

bool TextCursor::readUInt32(std::uint32_t& value) {
    std::uint32_t magnitude = 0;
    bool negative = false;
    if (readShortNumber(magnitude, negative, false)) {
        value = magnitude;
        return true;
    }
    return readUInt32Full(value);
}

} // namespace quillora
