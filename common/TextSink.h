// Builds a file's new content in memory; it replaces the old file in one step
// once complete, so writing itself cannot fail halfway. A sink with a drain
// hands its text on in pieces of about a set size instead of holding it whole.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace quillora {

class TextSink {
public:
    // Takes one piece of the text; false when it could not be passed on.
    using Drain = std::function<bool(std::string_view piece)>;

    TextSink() = default;
    TextSink(Drain drain, std::size_t pieceSize) : drain_(std::move(drain)) {
        buffer_.resize(pieceSize);
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
    // Most numbers in the files are a single digit: those are one character.
    TextSink& u32(std::uint32_t v) {
        if (v < 10) {
            return ch(static_cast<char>('0' + v));
        }
        return u32Long(v);
    }
    TextSink& i32(std::int32_t v) {
        if (v < 0) {
            ch('-');
            return u32(0u - static_cast<std::uint32_t>(v));
        }
        return u32(static_cast<std::uint32_t>(v));
    }

    std::size_t size() const { return used_; }
    // Hands on what is left to the drain; false when any piece could not be
    // passed on.
    bool finish() {
        drainHeld();
        return drained_;
    }
    // The text written so far; the sink is empty afterwards.
    std::string take() {
        buffer_.resize(used_);
        used_ = 0;
        std::string text = std::move(buffer_);
        buffer_.clear();
        return text;
    }
    // Room for n characters in all, so that writing them needs no growth.
    void reserve(std::size_t n) {
        if (buffer_.size() < n) {
            buffer_.resize(n);
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
    TextSink& u32Long(std::uint32_t v);

    std::string buffer_; // its size is the room; the first used_ characters are the text
    std::size_t used_ = 0;
    Drain drain_;
    bool drained_ = true; // every piece so far was passed on
};

} // namespace quillora
