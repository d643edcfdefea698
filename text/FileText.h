// A whole file's bytes in a buffer of exactly their size. A std::string of that
// size would first be filled with zeros, only for the read to overwrite them:
// a library's files are read once each, and the zeros cost a pass over every
// byte.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace quillora {

class FileText {
public:
    FileText() = default;
    // A copy of bytes (a fake file system's files, a preview's new content).
    FileText(std::string_view bytes) : FileText(withRoom(bytes.size())) {
        if (!bytes.empty()) {
            std::memcpy(bytes_.get(), bytes.data(), bytes.size());
        }
    }
    FileText(const std::string& bytes) : FileText(std::string_view(bytes)) {}
    FileText(const char* bytes) : FileText(std::string_view(bytes)) {}
    FileText(FileText&& other) noexcept
        : bytes_(std::move(other.bytes_)), size_(other.size_), room_(other.room_) {
        other.size_ = 0;
        other.room_ = 0;
    }
    FileText& operator=(FileText&& other) noexcept {
        bytes_ = std::move(other.bytes_);
        size_ = other.size_;
        room_ = other.room_;
        other.size_ = 0;
        other.room_ = 0;
        return *this;
    }

    // size bytes whose content is left for the caller to write; throws
    // std::bad_alloc when there is no memory for them.
    static FileText withRoom(std::size_t size) {
        FileText text;
        if (size > 0) {
            text.bytes_.reset(new char[size]);
        }
        text.size_ = size;
        text.room_ = size;
        return text;
    }

    char* data() { return bytes_.get(); }
    const char* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // The room it was made with, however far it has been cut.
    std::size_t room() const { return room_; }
    // Keeps the first size bytes (no more than it holds); frees nothing.
    void cut(std::size_t size) { size_ = size < size_ ? size : size_; }

    std::string_view view() const { return std::string_view(bytes_.get(), size_); }
    operator std::string_view() const { return view(); }
    // A copy, for code that keeps a file's bytes as a string.
    operator std::string() const { return std::string(view()); }
    friend bool operator==(const FileText& a, std::string_view b) { return a.view() == b; }
    friend bool operator!=(const FileText& a, std::string_view b) { return a.view() != b; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    std::size_t room_ = 0;
};

} // namespace quillora
