#include "text/TextFile.h"

#include <cstring>

namespace quillora {

DecodedText decodeText(std::string bytes) {
    DecodedText result;
    const char* data = bytes.data();
    const void* firstLf = std::memchr(data, '\n', bytes.size());
    if (firstLf == nullptr) {
        result.text = std::move(bytes);
        return result;
    }
    auto lf = static_cast<std::size_t>(static_cast<const char*>(firstLf) - data);
    if (lf > 0 && data[lf - 1] == '\r') {
        result.lineEnding = LineEnding::CrLf;
    }
    // Compact in place: every CR that a LF follows is dropped, line by line.
    result.text = std::move(bytes);
    char* const begin = result.text.data();
    const char* const end = begin + result.text.size();
    const char* read = begin;
    char* write = begin;
    while (const void* hit = std::memchr(read, '\r', static_cast<std::size_t>(end - read))) {
        const char* cr = static_cast<const char*>(hit);
        const bool pair = cr + 1 < end && cr[1] == '\n';
        const auto keep = static_cast<std::size_t>(cr - read) + (pair ? 0 : 1);
        if (write != read) {
            std::memmove(write, read, keep);
        }
        write += keep;
        read = cr + 1;
    }
    const auto rest = static_cast<std::size_t>(end - read);
    if (write != read) {
        std::memmove(write, read, rest);
    }
    result.text.resize(static_cast<std::size_t>(write + rest - begin));
    return result;
}

std::string encodeText(std::string text, LineEnding lineEnding) {
    LineEndEncoder encoder(lineEnding);
    const std::string_view encoded = encoder.encode(text);
    return encoded.data() == text.data() ? std::move(text) : std::string(encoded);
}

std::string_view LineEndEncoder::encode(std::string_view piece) {
    // In an LF file too, a line whose text ends in CR is ended by CR LF: a bare
    // LF would make that CR part of the line end when the file is read again.
    const bool crBefore = afterCr_;
    if (!piece.empty()) {
        afterCr_ = piece.back() == '\r';
    }
    if (!everyLine_ && piece.find("\r\n") == std::string_view::npos &&
        !(crBefore && !piece.empty() && piece.front() == '\n')) {
        return piece;
    }
    encoded_.clear();
    encoded_.reserve(piece.size() + piece.size() / 16 + 16);
    std::size_t start = 0;
    while (true) {
        const std::size_t lf = piece.find('\n', start);
        if (lf == std::string_view::npos) {
            encoded_.append(piece, start, std::string_view::npos);
            break;
        }
        encoded_.append(piece, start, lf - start);
        const bool cr = lf > 0 ? piece[lf - 1] == '\r' : crBefore;
        if (everyLine_ || cr) {
            encoded_.append("\r\n", 2);
        } else {
            encoded_.push_back('\n');
        }
        start = lf + 1;
    }
    return encoded_;
}

} // namespace quillora
