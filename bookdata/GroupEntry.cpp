#include "bookdata/GroupEntry.h"

#include "bookdata/RecordLine.h"

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
// walked through their members' links and parents, not the call stack: a file
// may nest them deeper than the call stack would allow.
void GroupEntry::write(TextSink& out, std::int32_t version) const {
    writeOwnLine(out);
    const GroupEntry* group = this;
    const LibraryEntry* member = children.first();
    for (;;) {
        if (member == nullptr) {
            out.ch('E').newline();
            if (group == this) {
                return;
            }
            member = group->nextMember;
            group = group->parent;
        } else if (member->kind == EntryKind::Group) {
            group = static_cast<const GroupEntry*>(member);
            group->writeOwnLine(out);
            member = group->children.first();
        } else {
            member->write(out, version);
            member = member->nextMember;
        }
    }
}

} // namespace quillora
