// Builds a file's new content in memory; it replaces the old file in one step
// once complete, so writing itself cannot fail halfway. A sink with a drain
// hands its text on in pieces of about a set size instead of holding it whole.
#pragma once

#include "text/TextBuffer.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace quillora {

// "00" to "99", the two digits of each number below 100.
inline constexpr char kDigitPairs[] = "00010203040506070809"
                                      "10111213141516171819"
                                      "20212223242526272829"
                                      "30313233343536373839"
                                      "40414243444546474849"
                                      "50515253545556575859"
                                      "60616263646566676869"
                                      "70717273747576777879"
                                      "80818283848586878889"
                                      "90919293949596979899";

// Writes v in decimal at p and returns the position after it; p must have
// room for ten characters. Most numbers in the files have one to four digits:
// those take no call and no loop.
char* formatLongDecimal(char* p, std::uint32_t v);
inline char* formatDecimal(char* p, std::uint32_t v) {
    if (v < 10) {
        *p = static_cast<char>('0' + v);
        return p + 1;
    }
    if (v < 100) {
        std::memcpy(p, kDigitPairs + v * 2, 2);
        return p + 2;
    }
    if (v < 1000) {
        *p = static_cast<char>('0' + v / 100);
        std::memcpy(p + 1, kDigitPairs + (v % 100) * 2, 2);
        return p + 3;
    }
    if (v < 10000) {
        std::memcpy(p, kDigitPairs + (v / 100) * 2, 2);
        std::memcpy(p + 2, kDigitPairs + (v % 100) * 2, 2);
        return p + 4;
    }
    return formatLongDecimal(p, v);
}

// The same for a signed number; p must have room for eleven characters.
inline char* formatSignedDecimal(char* p, std::int32_t v) {
    if (v < 0) {
        *p++ = '-';
        return formatDecimal(p, 0u - static_cast<std::uint32_t>(v));
    }
    return formatDecimal(p, static_cast<std::uint32_t>(v));
}

// Copies n characters. Most texts in the files are short, and a call to
// memcpy costs more than the copy: up to 64 they are moved in overlapping
// words of 8 or 16, never reading past the text.
inline void copyText(char* to, const char* from, std::size_t n) {
    if (n > 16 && n <= 64) {
        std::memcpy(to, from, 16);
        std::memcpy(to + n - 16, from + n - 16, 16);
        if (n > 32) {
            std::memcpy(to + 16, from + 16, 16);
            std::memcpy(to + n - 32, from + n - 32, 16);
        }
    } else if (n >= 8 && n <= 16) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4 && n < 8) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else if (n < 4) {
        for (std::size_t i = 0; i < n; ++i) {
            to[i] = from[i];
        }
    } else {
        std::memcpy(to, from, n);
    }
}

class TextSink {
public:
    // Takes one piece of the text; false when it could not be passed on.
    using Drain = std::function<bool(std::string_view piece)>;

    TextSink() = default;
    // firstRoom: what the text is likely to take, up to pieceSize, so that
    // the buffer need not grow step by step.
    TextSink(Drain drain, std::size_t pieceSize, std::size_t firstRoom)
        : drain_(std::move(drain)), pieceSize_(pieceSize) {
        reserve(firstRoom < pieceSize ? firstRoom : pieceSize);
    }

    TextSink& text(std::string_view s) {
        if (!s.empty()) {
            std::memcpy(room(s.size()), s.data(), s.size());
            used_ += s.size();
        }
        return *this;
    }
    TextSink& ch(char c) {
        *room(1) = c;
        ++used_;
        return *this;
    }
    TextSink& tab() { return ch('\t'); }
    TextSink& bar() { return ch('|'); }
    TextSink& newline() { return ch('\n'); }
    TextSink& u32(std::uint32_t v) {
        used_ = static_cast<std::size_t>(formatDecimal(room(kNumberRoom), v) - buffer_.data());
        return *this;
    }
    TextSink& i32(std::int32_t v) {
        used_ =
            static_cast<std::size_t>(formatSignedDecimal(room(kNumberRoom), v) - buffer_.data());
        return *this;
    }

    // Room for a number with its sign, and one character after it.
    static constexpr std::size_t kNumberRoom = 12;

    // For a writer that fills many fields in a row: room for at least n
    // characters from the position returned up to limit; commit says how far
    // it wrote. Nothing else may write in between.
    char* claim(std::size_t n, char*& limit) {
        char* start = room(n);
        limit = buffer_.data() + buffer_.size();
        return start;
    }
    void commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }

    std::size_t size() const { return used_; }
    // Hands on what is left to the drain; false when any piece could not be
    // passed on.
    bool finish() {
        drainHeld();
        return drained_;
    }
    // The text written so far; the sink is empty afterwards.
    std::string take() {
        std::string text = used_ > 0 ? std::string(buffer_.data(), used_) : std::string();
        used_ = 0;
        return text;
    }
    // Room for n characters in all, so that writing them needs no growth.
    void reserve(std::size_t n) {
        if (buffer_.size() < n) {
            buffer_.moveTo(n, used_);
        }
    }

private:
    // Where the next n characters go. The buffer is written through a pointer:
    // appending to a string character by character costs several times more.
    char* room(std::size_t n) {
        if (buffer_.size() - used_ < n) {
            grow(n);
        }
        return buffer_.data() + used_;
    }
    void grow(std::size_t n);
    void drainHeld();

    TextBuffer buffer_; // its size is the room; the first used_ characters are the text
    std::size_t used_ = 0;
    Drain drain_;
    std::size_t pieceSize_ = 0; // with a drain, the text held at most (or one longer write)
    bool drained_ = true;       // every piece so far was passed on
};

} // namespace quillora
