#include "bookdata/GroupEntry.h"

#include "bookdata/RecordLine.h"

namespace quillora {

bool GroupEntry::read(TextCursor& in, std::int32_t fileVersion) {
    RecordReader line(in);
    id = line.leadingNumber();
    if (fileVersion >= 5) {
        auxNumber = line.leadingUnsigned();
    }
    line.text(name);
    line.text(text2);
    line.text(text3);
    if (fileVersion >= 6) {
        line.text(text4);
    }
    typeBits = line.typeBits(fileVersion);
    if (fileVersion >= 9) {
        levelCode = line.levelCode();
    }
    active = line.active();
    imageId = 3;
    return line.end();
}

// The group's own line has no maintain value and no tab before its newline;
// its members follow, then the E line that closes it.
bool GroupEntry::write(TextSink& out, std::int32_t version) const {
    RecordWriter(out, 'G')
        .number(id)
        .number(auxNumber)
        .text(name)
        .text(text2)
        .text(text3)
        .text(text4)
        .number(typeBits)
        .number(levelCode)
        .endWithNumber(active);
    for (const LibraryEntry* child : children) {
        child->write(out, version);
    }
    out.ch('E').newline();
    return !out.failed();
}

} // namespace quillora
