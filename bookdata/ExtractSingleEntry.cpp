#include "bookdata/ExtractSingleEntry.h"

namespace quillora {

// The file version does not matter: X lines have had one layout throughout.
bool ExtractSingleEntry::read(TextCursor& in, std::int32_t) {
    return readLine(in, &text8);
}

void ExtractSingleEntry::write(TextSink& out, std::int32_t) const {
    writeLine(out, 'X', &text8);
}

} // namespace quillora
