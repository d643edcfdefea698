#include "bookdata/ExtractEntry.h"

#include "bookdata/RecordLine.h"

namespace quillora {

bool ExtractEntry::readLine(TextCursor& in, EntryText* text8) {
    RecordReader line(in);
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
    imageId = 10;
    return line.end();
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
