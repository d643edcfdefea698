// A read cursor over a whole text held in memory, with the stream semantics the
// file readers rely on: once failed, every operation does nothing; an operation
// that starts at the end of the input sets the failed state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillora {

class TextCursor {
public:
    static constexpr int kEnd = -1;

    explicit TextCursor(std::string_view text) : text_(text) {}

    // Next character without consuming it; kEnd at the end (marks end of input).
    int peek();
    // Consumes one character; kEnd (and failed) at the end.
    int get();
    // Drops one character, whatever it is, unless at the end.
    void skipOne();
    // Drops up to n characters, stopping after the first delim (consumed).
    // Never fails: at the end it does nothing.
    void ignore(std::size_t n, int delim);
    // Drops leading whitespace (space, tab, newline, CR, VT, FF).
    void skipWhitespace();

    // Formatted reads: leading whitespace skipped; a number out of range, or no
    // digits at all, fails the cursor. The value is untouched on failure.
    bool readInt32(std::int32_t& value);
    bool readUInt32(std::uint32_t& value);
    // Formatted read of one non-whitespace character.
    bool readChar(char& c);
    // Formatted read of a word: non-whitespace characters up to whitespace.
    bool readWord(std::string& word);

    // Characters up to delim; the delim is consumed and not stored. Reaching the
    // end before delim marks end of input; reading nothing at all then fails.
    bool readUntil(std::string& out, char delim);

    bool failed() const { return failed_; }
    bool atEnd() const { return eof_; }
    bool good() const { return !failed_ && !eof_; }
    std::size_t position() const { return pos_; }
    // 1-based line of the current position, for diagnostics.
    unsigned lineNumber() const;

private:
    bool sentry();
    std::string_view text_;
    std::size_t pos_ = 0;
    bool failed_ = false;
    bool eof_ = false;
};

inline bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace quillora
