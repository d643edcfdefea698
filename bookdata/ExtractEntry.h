#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// What tags X and Y share: the same fields and one line layout for every file
// version (no version gates, no old type codes). X adds text8 after the name.
class ExtractEntry : public LibraryEntry {
public:
    std::int32_t directoryId = 0;
    std::uint8_t displayKind = 0;
    EntryText text5;
    EntryText text6;
    EntryText text7;
    std::int8_t extraFlag = 0;

protected:
    ExtractEntry(BookDataFile* ownerFile, EntryKind entryKind)
        : LibraryEntry(ownerFile, entryKind) {}
    // text8 is null for the layout without it.
    bool readLine(TextCursor& in, EntryText* text8);
    void writeLine(TextSink& out, char tag, const EntryText* text8) const;

private:
    template <class Line> bool readFields(Line& line, EntryText* text8);
};

} // namespace quillora
