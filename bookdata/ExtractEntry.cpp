#include "bookdata/ExtractEntry.h"

#include "bookdata/RecordLine.h"

namespace quillora {

template <class Line> bool ExtractEntry::readFields(Line& line, EntryText* text8) {
    id = line.leadingNumber();
    auxNumber = line.leadingUnsigned();
    directoryId = line.leadingNumber();
    line.text(name);
    if (text8 != nullptr) {
        line.text(*text8);
    }
    line.text(text2);
    line.text(text3);
    line.text(text4);
    line.text(text5);
    line.text(text6);
    line.text(text7);
    typeBits = line.lowByte();
    levelCode = line.levelCode();
    extraFlag = line.flag();
    displayKind = line.lowByte();
    active = line.active();
    maintain = line.flag();
    return line.end();
}

bool ExtractEntry::readLine(TextCursor& in, EntryText* text8) {
    imageId = 10;
    return readRecordLine(in, [&](auto& line) { return readFields(line, text8); });
}

void ExtractEntry::writeLine(TextSink& out, char tag, const EntryText* text8) const {
    RecordWriter line(out, tag, *this);
    line.number(id).number(auxNumber).number(directoryId).text(name);
    if (text8 != nullptr) {
        line.text(*text8);
    }
    line.text(text2)
        .text(text3)
        .text(text4)
        .text(text5)
        .text(text6)
        .text(text7)
        .number(typeBits)
        .number(levelCode)
        .number(extraFlag)
        .number(displayKind)
        .number(active)
        .number(maintain)
        .end();
}

} // namespace quillora
