#include "common/TextFile.h"

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
    // In an LF file too, a line whose text ends in CR is ended by CR LF: a bare
    // LF would make that CR part of the line end when the file is read again.
    const bool everyLine = lineEnding == LineEnding::CrLf;
    if (!everyLine && text.find("\r\n") == std::string::npos) {
        return text;
    }
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 16);
    std::size_t start = 0;
    while (true) {
        std::size_t lf = text.find('\n', start);
        if (lf == std::string::npos) {
            out.append(text, start, std::string::npos);
            break;
        }
        out.append(text, start, lf - start);
        if (everyLine || (lf > 0 && text[lf - 1] == '\r')) {
            out.append("\r\n", 2);
        } else {
            out.push_back('\n');
        }
        start = lf + 1;
    }
    return out;
}

} // namespace quillora
