#include "catalog/Category.h"

#include "bookdata/TypeCode.h"
#include "catalog/CatalogLine.h"
#include "text/TextCursor.h"
#include "text/TextSink.h"

namespace quillora {

bool Category::read(TextCursor& in, std::uint32_t version) {
    in.readUInt32(number);
    in.skipOne();
    std::int32_t code = 0;
    if (in.readInt32(code)) {
        typeBits = version >= 7 ? static_cast<std::uint8_t>(code & 0xFF) : mapOldTypeCode(code);
    }
    in.skipOne();
    in.readUntil(name, '|');
    if (version >= 6) {
        in.readUntil(text2, '|');
        in.readUInt32(value1);
        in.readUInt32(value2);
        in.readUInt32(value3);
    }
    catalogline::dropLine(in);
    return !in.failed();
}

void Category::write(TextSink& out) const {
    out.u32(number).tab().u32(typeBits).tab().text(name).bar().text(text2).bar();
    out.u32(value1).ch(' ').u32(value2).ch(' ').u32(value3).bar().newline();
}

} // namespace quillora
