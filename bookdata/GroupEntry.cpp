#include "bookdata/GroupEntry.h"

#include "bookdata/RecordLine.h"

#include <vector>

namespace quillora {

// The group's own line has no maintain value and no tab before its newline.
template <class Self, class Fields>
[[gnu::always_inline]] inline void GroupEntry::fields(Self& group, Fields& f) {
    f.leading(group.id, 3);
    f.leading(group.auxNumber, 5);
    f.text(TextField::name, 3);
    f.text(TextField::text2, 3);
    f.text(TextField::text3, 3);
    f.text(TextField::text4, 6);
    f.typeBits(group.typeBits, 3);
    f.levelCode(group.levelCode, 9);
    f.active(group.active, 3);
    f.endAfterNumber();
}

bool GroupEntry::read(TextCursor& in, std::int32_t fileVersion) {
    imageId = 3;
    return readFields(*this, in, fileVersion);
}

void GroupEntry::writeOwnLine(TextSink& out) const {
    writeFields(*this, out, 'G');
}

EntryText GroupEntry::textAt(TextField field) const {
    return findText(*this, field);
}

void GroupEntry::setText(TextField field, std::string_view text) {
    replaceText(*this, field, text);
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
