// Characters in a buffer of a set size that is not filled with zeros first, as
// a std::string's room would be only for every byte to be overwritten: a whole
// file read into exactly its size, the sink a file is written through, a piece
// encoded with CR LF line ends. Each of them writes every byte it keeps.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace quillora {

class TextBuffer {
public:
    TextBuffer() = default;
    // A copy of bytes (a fake file system's files, a preview's new content).
    TextBuffer(std::string_view bytes) : TextBuffer(withRoom(bytes.size())) {
        if (!bytes.empty()) {
            std::memcpy(bytes_.get(), bytes.data(), bytes.size());
        }
    }
    TextBuffer(const char* bytes) : TextBuffer(std::string_view(bytes)) {}
    TextBuffer(TextBuffer&& other) noexcept : bytes_(std::move(other.bytes_)), size_(other.size_) {
        other.size_ = 0;
    }
    TextBuffer& operator=(std::string_view bytes) { return *this = TextBuffer(bytes); }
    TextBuffer& operator=(TextBuffer&& other) noexcept {
        bytes_ = std::move(other.bytes_);
        size_ = other.size_;
        other.size_ = 0;
        return *this;
    }

    // size characters whose content is left for the caller to write; throws
    // std::bad_alloc when there is no memory for them.
    static TextBuffer withRoom(std::size_t size) {
        TextBuffer text;
        if (size > 0) {
            text.bytes_.reset(new char[size]);
        }
        text.size_ = size;
        return text;
    }
    // Takes a new buffer of size characters, the first keep of them (no more
    // than this one holds) copied over; the rest is left for the caller.
    void moveTo(std::size_t size, std::size_t keep) {
        TextBuffer larger = withRoom(size);
        if (keep > 0) {
            std::memcpy(larger.data(), data(), keep);
        }
        *this = std::move(larger);
    }

    char* data() { return bytes_.get(); }
    const char* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Keeps the first size characters (no more than it holds); frees nothing.
    void cut(std::size_t size) { size_ = size < size_ ? size : size_; }

    std::string_view view() const { return std::string_view(bytes_.get(), size_); }
    operator std::string_view() const { return view(); }
    // A copy, for code that keeps a file's bytes as a string.
    operator std::string() const { return std::string(view()); }
    friend bool operator==(const TextBuffer& a, std::string_view b) { return a.view() == b; }
    friend bool operator!=(const TextBuffer& a, std::string_view b) { return a.view() != b; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
};

} // namespace quillora
