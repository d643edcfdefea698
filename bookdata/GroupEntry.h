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

    EntryList children;

private:
    template <class Line> bool readFields(Line& line, std::int32_t fileVersion);
    void writeOwnLine(TextSink& out) const;
};

} // namespace quillora
