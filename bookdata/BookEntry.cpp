#include "bookdata/BookEntry.h"

#include "bookdata/RecordLine.h"

namespace quillora {

template <class Self, class Fields>
[[gnu::always_inline]] inline void BookEntry::fields(Self& book, Fields& f) {
    f.leading(book.id, 3);
    f.leading(book.auxNumber, 5);
    f.leading(book.directoryId, 3);
    f.text(TextField::name, 3);
    f.text(TextField::text2, 3);
    f.text(TextField::text3, 3);
    f.text(TextField::text4, 6);
    f.text(TextField::text5, 3);
    f.text(TextField::text6, 3);
    f.text(TextField::text7, 4);
    f.typeBits(book.typeBits, 3);
    f.levelCode(book.levelCode, 9);
    f.flag(book.extraFlag, 9);
    f.lowByte(book.displayKind, 3);
    f.active(book.active, 3);
    f.flag(book.hasLValue, 3);
    f.flag(book.maintain, 3);
    f.flag(book.hasExtraText, 3);
    f.gap();
    f.lastText(TextField::extraText, book.hasExtraText);
    f.end();
}

bool BookEntry::read(TextCursor& in, std::int32_t fileVersion) {
    const bool ok = readFields(*this, in, fileVersion);
    switch (displayKind) {
    case 0:
        imageId = 9;
        break;
    case 1:
        imageId = 5;
        break;
    case 2:
        imageId = 12;
        break;
    default:
        break;
    }
    return ok;
}

void BookEntry::write(TextSink& out, std::int32_t) const {
    writeFields(*this, out, 'B');
    if (hasLValue != 0) {
        RecordWriter(out, 'L').endWithNumber(lValue);
    }
}

EntryText BookEntry::textAt(TextField field) const {
    return findText(*this, field);
}

void BookEntry::setText(TextField field, std::string_view text) {
    replaceText(*this, field, text);
}

} // namespace quillora
