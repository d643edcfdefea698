#include "bookdata/ExtractGroupEntry.h"

namespace quillora {

// The file version does not matter: Y lines have had one layout throughout.
bool ExtractGroupEntry::read(TextCursor& in, std::int32_t) {
    return readLine(in);
}

void ExtractGroupEntry::write(TextSink& out, std::int32_t) const {
    writeLine(out, 'Y');
}

} // namespace quillora
