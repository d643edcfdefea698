// Builds a file's new content in memory; it replaces the old file in one step
// once complete, so writing itself cannot fail halfway.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillora {

class TextSink {
public:
    TextSink& text(std::string_view s) {
        out_.append(s.data(), s.size());
        return *this;
    }
    TextSink& ch(char c) {
        out_.push_back(c);
        return *this;
    }
    TextSink& tab() { return ch('\t'); }
    TextSink& bar() { return ch('|'); }
    TextSink& newline() { return ch('\n'); }
    TextSink& i32(std::int32_t v);
    TextSink& u32(std::uint32_t v);

    // Kept for the writers' "stream still good" results; in memory nothing fails.
    bool failed() const { return false; }
    const std::string& str() const { return out_; }
    std::string take() { return std::move(out_); }
    void reserve(std::size_t n) { out_.reserve(n); }

private:
    std::string out_;
};

} // namespace quillora
