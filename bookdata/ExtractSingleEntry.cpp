#include "bookdata/ExtractSingleEntry.h"

namespace quillora {

// The file version does not matter: X lines have had one layout throughout.
bool ExtractSingleEntry::read(TextCursor& in, std::int32_t) {
    return readLine(in);
}

void ExtractSingleEntry::write(TextSink& out, std::int32_t) const {
    writeLine(out, 'X');
}

} // namespace quillora
