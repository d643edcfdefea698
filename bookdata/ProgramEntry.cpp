#include "bookdata/ProgramEntry.h"

#include "bookdata/RecordLine.h"

namespace quillora {

template <class Line> bool ProgramEntry::readFields(Line& line, std::int32_t fileVersion) {
    id = line.leadingNumber();
    if (fileVersion >= 5) {
        auxNumber = line.leadingUnsigned();
    }
    directoryId = line.leadingNumber();
    line.text(name);
    if (fileVersion >= 8) {
        line.text(text8);
    }
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
    active = line.active();
    maintain = line.flag();
    return line.end();
}

bool ProgramEntry::read(TextCursor& in, std::int32_t fileVersion) {
    if (fileVersion < 3) {
        return false;
    }
    imageId = 10;
    return readRecordLine(in, [&](auto& line) { return readFields(line, fileVersion); });
}

void ProgramEntry::write(TextSink& out, std::int32_t) const {
    RecordWriter(out, 'P', *this)
        .number(id)
        .number(auxNumber)
        .number(directoryId)
        .text(name)
        .text(text8)
        .text(text2)
        .text(text3)
        .text(text4)
        .text(text5)
        .text(text6)
        .text(text7)
        .number(typeBits)
        .number(levelCode)
        .number(extraFlag)
        .number(active)
        .number(maintain)
        .end();
}

} // namespace quillora
