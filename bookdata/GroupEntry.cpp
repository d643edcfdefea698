#include "bookdata/GroupEntry.h"

#include "bookdata/RecordLine.h"

#include <vector>

namespace quillora {

template <class Line> bool GroupEntry::readFields(Line& line, std::int32_t fileVersion) {
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
    return line.endWithNumber();
}

bool GroupEntry::read(TextCursor& in, std::int32_t fileVersion) {
    imageId = 3;
    return readRecordLine(in, [&](auto& line) { return readFields(line, fileVersion); });
}

// The group's own line has no maintain value and no tab before its newline.
void GroupEntry::writeOwnLine(TextSink& out) const {
    RecordWriter(out, 'G', *this)
        .number(id)
        .number(auxNumber)
        .text(name)
        .text(text2)
        .text(text3)
        .text(text4)
        .number(typeBits)
        .number(levelCode)
        .endWithNumber(active);
}

// Its line, its members, then the E line that closes it. Nested groups are
// walked with a stack of their own: a file may nest them deeper than the call
// stack would allow.
void GroupEntry::write(TextSink& out, std::int32_t version) const {
    struct Open {
        const GroupEntry* group;
        std::size_t next;
    };
    writeOwnLine(out);
    if (children.empty()) {
        out.text("E\n");
        return;
    }
    std::vector<Open> open{{this, 0}};
    while (!open.empty()) {
        Open& innermost = open.back();
        if (innermost.next == innermost.group->children.count()) {
            out.ch('E').newline();
            open.pop_back();
            continue;
        }
        const LibraryEntry* child = innermost.group->children.at(innermost.next++);
        if (child->kind == EntryKind::Group) {
            const auto* group = static_cast<const GroupEntry*>(child);
            group->writeOwnLine(out);
            open.push_back({group, 0});
        } else {
            child->write(out, version);
        }
    }
}

} // namespace quillora
