#include "common/TextFile.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillora {

namespace {

#if defined(__SSE2__)
// The positions of c among the sixteen characters at p, one bit each.
unsigned matches16(const char* p, char c) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(c))));
}
#endif

// Drops every CR that a LF follows, moving the text forward in place. Where
// SSE2 is at hand, sixteen characters without a CR are moved at a time: most
// lines are short, and a call to memchr and memmove for each costs more.
std::size_t dropCrBeforeLf(char* text, std::size_t size) {
    const char* read = text;
    const char* const end = text + size;
    char* write = text;
    const auto atCr = [&]() {
        const bool pair = read + 1 < end && read[1] == '\n';
        if (!pair) {
            *write++ = '\r';
        }
        ++read;
    };
#if defined(__SSE2__)
    while (end - read >= 16) {
        const unsigned crs = matches16(read, '\r');
        // The sixteen go whole only when none is dropped: write never passes read.
        if (crs == 0) {
            std::memmove(write, read, 16);
            read += 16;
            write += 16;
            continue;
        }
        for (int i = __builtin_ctz(crs); i > 0; --i) {
            *write++ = *read++;
        }
        atCr();
    }
#endif
    while (read < end) {
        if (*read == '\r') {
            atCr();
        } else {
            *write++ = *read++;
        }
    }
    return static_cast<std::size_t>(write - text);
}

} // namespace

DecodedText decodeText(std::string bytes) {
    DecodedText result;
    const void* firstLf = std::memchr(bytes.data(), '\n', bytes.size());
    if (firstLf != nullptr) {
        const auto lf = static_cast<std::size_t>(static_cast<const char*>(firstLf) - bytes.data());
        if (lf > 0 && bytes[lf - 1] == '\r') {
            result.lineEnding = LineEnding::CrLf;
        }
        bytes.resize(dropCrBeforeLf(bytes.data(), bytes.size()));
    }
    result.text = std::move(bytes);
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
