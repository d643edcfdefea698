// Line-level reads shared by the catalogue reader and its item and category lines.
#pragma once

#include "text/TextCursor.h"

#include <cstddef>
#include <limits>
#include <string>

namespace quillora::catalogline {

// No bound: long lines are dropped whole instead of being split into bogus lines.
constexpr std::size_t kWholeLine = std::numeric_limits<std::size_t>::max();

inline bool isDigit(int c) {
    return c >= '0' && c <= '9';
}
inline bool isLetter(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Drops the rest of the line, its newline included.
inline void dropLine(TextCursor& in) {
    in.ignore(kWholeLine, '\n');
}

// The rest of the line, newline consumed. An empty last line without a newline
// reads as an empty text, so a file need not end with a newline.
inline bool readLine(TextCursor& in, std::string& out) {
    if (in.peek() == TextCursor::kEnd) {
        if (in.failed()) {
            return false;
        }
        out.clear();
        return true;
    }
    return in.readUntil(out, '\n');
}

// Drops up to limit characters through the next TAB, but never past the end of
// the line, so a line without its TAB cannot swallow the next one.
inline void skipThroughTab(TextCursor& in, std::size_t limit) {
    for (std::size_t i = 0; i < limit && in.good(); ++i) {
        int c = in.peek();
        if (c == TextCursor::kEnd || c == '\n') {
            return;
        }
        in.skipOne();
        if (c == '\t') {
            return;
        }
    }
}

} // namespace quillora::catalogline
