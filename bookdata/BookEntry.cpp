#include "bookdata/BookEntry.h"

#include "bookdata/RecordLine.h"

namespace quillora {

template <class Line> bool BookEntry::readFields(Line& line, std::int32_t fileVersion) {
    id = line.leadingNumber();
    if (fileVersion >= 5) {
        auxNumber = line.leadingUnsigned();
    }
    directoryId = line.leadingNumber();
    line.text(name);
    line.text(text2);
    line.text(text3);
    if (fileVersion >= 6) {
        line.text(text4);
    }
    line.text(text5);
    line.text(text6);
    if (fileVersion >= 4) {
        line.text(text7);
    }
    typeBits = line.typeBits(fileVersion);
    if (fileVersion >= 9) {
        levelCode = line.levelCode();
        extraFlag = line.flag();
    }
    displayKind = line.lowByte();
    active = line.active();
    hasLValue = line.flag();
    maintain = line.flag();
    hasExtraText = line.flag();
    if (hasExtraText == 1) {
        line.skipOne();
        line.text(extraText);
    }
    return line.end();
}

bool BookEntry::read(TextCursor& in, std::int32_t fileVersion) {
    const bool ok = readRecordLine(in, [&](auto& line) { return readFields(line, fileVersion); });
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
    RecordWriter line(out, 'B', *this);
    line.number(id)
        .number(auxNumber)
        .number(directoryId)
        .text(name)
        .text(text2)
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
        .number(hasLValue)
        .number(maintain)
        .number(hasExtraText);
    if (hasExtraText != 0) {
        line.text(extraText);
    }
    line.end();
    if (hasLValue != 0) {
        RecordWriter(out, 'L', *this).endWithNumber(lValue);
    }
}

} // namespace quillora
