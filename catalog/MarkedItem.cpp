#include "catalog/MarkedItem.h"

#include "catalog/CatalogLine.h"
#include "text/TextCursor.h"
#include "text/TextSink.h"

namespace quillora {

bool MarkedItem::read(TextCursor& in, std::uint32_t) {
    in.readInt32(id);
    in.skipOne();
    char readMark = 0;
    if (in.readChar(readMark)) {
        mark = readMark == 'H' || readMark == 'h' ? kMarkH : 0;
    }
    in.skipOne();
    catalogline::readLine(in, text);
    return !in.failed();
}

void MarkedItem::write(TextSink& out, std::uint32_t) const {
    out.ch(kKind).tab().i32(id).tab().ch(mark == kMarkH ? 'H' : 'U').tab().text(text).newline();
}

} // namespace quillora
