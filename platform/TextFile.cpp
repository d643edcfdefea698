#include "platform/TextFile.h"

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
    if (std::memchr(data, '\r', bytes.size()) == nullptr) {
        result.text = std::move(bytes);
        return result;
    }
    std::string& out = result.text;
    out.reserve(bytes.size());
    std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (data[i] == '\r' && i + 1 < n && data[i + 1] == '\n') {
            continue;
        }
        out.push_back(data[i]);
    }
    return result;
}

std::string encodeText(const std::string& text, LineEnding lineEnding) {
    if (lineEnding == LineEnding::Lf) {
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
        out.append("\r\n", 2);
        start = lf + 1;
    }
    return out;
}

} // namespace quillora
