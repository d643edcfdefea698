#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// Tag G: a folder of entries, closed by an E line. Its children are owned by the
// package's allEntries, never by the group.
class GroupEntry : public LibraryEntry {
public:
    explicit GroupEntry(BookDataFile* ownerFile) : LibraryEntry(ownerFile, EntryKind::Group) {}
    ~GroupEntry() override { children.removeAll(); }
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    void write(TextSink& out, std::int32_t version) const override;
    EntryText textAt(TextField field) const override;
    void setText(TextField field, std::string_view text) override;

    // The G line (RecordLine.h).
    template <class Self, class Fields> static void fields(Self& group, Fields& f);

    std::uint8_t textSpans[4] = {};
    EntryList children;

private:
    void writeOwnLine(TextSink& out) const;
};

} // namespace quillora
