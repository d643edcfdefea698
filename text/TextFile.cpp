#include "text/TextFile.h"

#include <algorithm>
#include <cstring>

namespace quillora {

DecodedText decodeText(TextBuffer bytes) {
    DecodedText result;
    const char* data = bytes.data();
    const void* firstLf = bytes.empty() ? nullptr : std::memchr(data, '\n', bytes.size());
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
    result.text.cut(static_cast<std::size_t>(write + rest - begin));
    return result;
}

DecodedText decodeText(std::string_view bytes) {
    return decodeText(TextBuffer(bytes));
}

std::string encodeText(std::string text, LineEnding lineEnding) {
    LineEndEncoder encoder(lineEnding);
    const std::string_view encoded = encoder.encode(text);
    return encoded.data() == text.data() ? std::move(text) : std::string(encoded);
}

std::string_view LineEndEncoder::encode(std::string_view piece) {
    // In an LF file too, a line whose text ends in CR is ended by CR LF: a bare
    // LF would make that CR part of the line end when the file is read again.
    if (piece.empty()) {
        return piece;
    }
    const bool crBefore = afterCr_;
    afterCr_ = piece.back() == '\r';
    if (!everyLine_ && piece.find("\r\n") == std::string_view::npos &&
        !(crBefore && piece.front() == '\n')) {
        return piece;
    }
    // Room for lines of eight characters on average; shorter ones grow it.
    char* out = makeRoom(0, piece.size() + piece.size() / 8 + 16);
    const char* const first = piece.data();
    const char* const end = first + piece.size();
    const char* from = first;
    while (const void* hit = std::memchr(from, '\n', static_cast<std::size_t>(end - from))) {
        const char* const lf = static_cast<const char*>(hit);
        const auto n = static_cast<std::size_t>(lf - from);
        if (encoded_.data() + encoded_.size() - out < static_cast<std::ptrdiff_t>(n + 2)) {
            out = makeRoom(static_cast<std::size_t>(out - encoded_.data()), n + 2);
        }
        std::memcpy(out, from, n);
        out += n;
        const bool cr = lf > first ? lf[-1] == '\r' : crBefore;
        if (everyLine_ || cr) {
            *out++ = '\r';
        }
        *out++ = '\n';
        from = lf + 1;
    }
    const auto rest = static_cast<std::size_t>(end - from);
    if (encoded_.data() + encoded_.size() - out < static_cast<std::ptrdiff_t>(rest)) {
        out = makeRoom(static_cast<std::size_t>(out - encoded_.data()), rest);
    }
    if (rest > 0) {
        std::memcpy(out, from, rest);
    }
    out += rest;
    return std::string_view(encoded_.data(), static_cast<std::size_t>(out - encoded_.data()));
}

char* LineEndEncoder::makeRoom(std::size_t used, std::size_t n) {
    if (encoded_.size() - used < n) {
        encoded_.moveTo(std::max(encoded_.size() * 2, used + n), used);
    }
    return encoded_.data() + used;
}

} // namespace quillora
