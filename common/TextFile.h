// Text as Windows text mode sees it: CR LF is one newline. A file keeps the line
// ends it was read with when it is written back.
#pragma once

#include <string>

namespace quillora {

enum class LineEnding { Lf, CrLf };

struct DecodedText {
    std::string text; // newlines as LF only
    LineEnding lineEnding = LineEnding::Lf;
};

// CR LF pairs become LF; the file counts as CR LF when its first newline is one.
DecodedText decodeText(std::string bytes);
// LF becomes CR LF when asked for, and in LF text wherever a CR precedes it, so
// that decoding gives the text back; other LF text is handed back without a copy.
std::string encodeText(std::string text, LineEnding lineEnding);

} // namespace quillora
