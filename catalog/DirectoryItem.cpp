#include "catalog/DirectoryItem.h"

#include "catalog/CatalogLine.h"
#include "text/TextCursor.h"
#include "text/TextSink.h"

namespace quillora {

// The letter of a version 8 or later line has been consumed by the caller; the
// layout from the identifier on is the same in every version.
bool DirectoryItem::read(TextCursor& in, std::uint32_t) {
    in.readInt32(id);
    in.skipOne();
    catalogline::readLine(in, path);
    return !in.failed();
}

void DirectoryItem::write(TextSink& out, std::uint32_t) const {
    out.ch(kKind).tab().i32(id).tab().text(path).newline();
}

} // namespace quillora
