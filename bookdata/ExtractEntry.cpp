#include "bookdata/ExtractEntry.h"

#include "bookdata/RecordLine.h"

namespace quillora {

template <class Self, class Fields>
[[gnu::always_inline]] inline void ExtractEntry::fields(Self& extract, Fields& f) {
    f.leading(extract.id, 3);
    f.leading(extract.auxNumber, 3);
    f.leading(extract.directoryId, 3);
    f.text(TextField::name, 3);
    if (extract.kind == EntryKind::ExtractSingle) {
        f.text(TextField::text8, 3);
    }
    f.text(TextField::text2, 3);
    f.text(TextField::text3, 3);
    f.text(TextField::text4, 3);
    f.text(TextField::text5, 3);
    f.text(TextField::text6, 3);
    f.text(TextField::text7, 3);
    f.lowByte(extract.typeBits, 3);
    f.levelCode(extract.levelCode, 3);
    f.flag(extract.extraFlag, 3);
    f.lowByte(extract.displayKind, 3);
    f.active(extract.active, 3);
    f.flag(extract.maintain, 3);
    f.end();
}

// Every field is in the oldest version read, so the file's does not matter.
bool ExtractEntry::readLine(TextCursor& in) {
    imageId = 10;
    return readFields(*this, in, BookDataFile::kOldestVersion);
}

void ExtractEntry::writeLine(TextSink& out, char tag) const {
    writeFields(*this, out, tag);
}

EntryText ExtractEntry::textAt(TextField field) const {
    return findText(*this, field);
}

void ExtractEntry::setText(TextField field, std::string_view text) {
    replaceText(*this, field, text);
}

} // namespace quillora
