#include "bookdata/ExtractGroupEntry.h"

namespace quillora {

// The file version does not matter: Y lines have had one layout throughout.
bool ExtractGroupEntry::read(TextCursor& in, std::int32_t) {
    return readLine(in, nullptr);
}

void ExtractGroupEntry::write(TextSink& out, std::int32_t) const {
    writeLine(out, 'Y', nullptr);
}

} // namespace quillora
