#pragma once

#include "bookdata/LibraryEntry.h"
#include "bookdata/MemberList.h"

namespace quillora {

// Tag G: a folder of entries, closed by an E line. Its members live in their
// file's memory, listed in its allEntries; the group only links them.
class GroupEntry : public LibraryEntry {
public:
    explicit GroupEntry(BookDataFile* ownerFile) : LibraryEntry(ownerFile, EntryKind::Group) {}
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    void write(TextSink& out, std::int32_t version) const override;
    EntryText textAt(TextField field) const override;
    void setText(TextField field, std::string_view text) override;

    // The G line (RecordLine.h).
    template <class Self, class Fields> static void fields(Self& group, Fields& f);

    // Makes entry this group's last member.
    void append(LibraryEntry* entry) {
        entry->parent = this;
        children.append(entry);
    }

    std::uint8_t textSpans[4] = {};
    MemberList children;

private:
    void writeOwnLine(TextSink& out) const;
};

} // namespace quillora
