// Text as Windows text mode sees it: CR LF is one newline. A file keeps the line
// ends it was read with when it is written back.
#pragma once

#include "text/TextBuffer.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quillora {

enum class LineEnding { Lf, CrLf };

struct DecodedText {
    TextBuffer text; // newlines as LF only
    LineEnding lineEnding = LineEnding::Lf;
};

// CR LF pairs become LF; the file counts as CR LF when its first newline is one.
DecodedText decodeText(TextBuffer bytes);
DecodedText decodeText(std::string_view bytes);
// LF becomes CR LF when asked for, and in LF text wherever a CR precedes it, so
// that decoding gives the text back; other LF text is handed back without a copy.
std::string encodeText(std::string text, LineEnding lineEnding);

// The same for a text handed over in pieces, one after the other.
class LineEndEncoder {
public:
    explicit LineEndEncoder(LineEnding lineEnding) : everyLine_(lineEnding == LineEnding::CrLf) {}
    // The piece encoded: the piece itself when nothing changes, else a text
    // that stays valid until the next call.
    std::string_view encode(std::string_view piece);

private:
    // Room for at least n more characters after the first used.
    char* makeRoom(std::size_t used, std::size_t n);

    bool everyLine_;
    bool afterCr_ = false; // the last piece ended in CR
    // The encoded piece: written through a pointer, as appending to a string
    // checks its room at every line.
    TextBuffer encoded_;
};

} // namespace quillora
