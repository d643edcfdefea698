#include "bookdata/ExtractGroupEntry.h"

namespace quillora {

// The file version does not matter: Y lines have had one layout throughout.
bool ExtractGroupEntry::read(TextCursor& in, std::int32_t) {
    return readLine(in, nullptr);
}

bool ExtractGroupEntry::write(TextSink& out, std::int32_t) const {
    return writeLine(out, 'Y', nullptr);
}

} // namespace quillora
