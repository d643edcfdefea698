#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// What tags X and Y share: the same fields and one line layout for every file
// version (no version gates, no old type codes). X adds text8 after the name.
class ExtractEntry : public LibraryEntry {
public:
    EntryText textAt(TextField field) const override;
    void setText(TextField field, std::string_view text) override;

    // The X and Y lines (RecordLine.h).
    template <class Self, class Fields> static void fields(Self& extract, Fields& f);

    std::uint8_t textSpans[8] = {};
    std::uint8_t displayKind = 0;
    std::int32_t directoryId = 0;
    std::int8_t extraFlag = 0;

protected:
    ExtractEntry(BookDataFile* ownerFile, EntryKind entryKind)
        : LibraryEntry(ownerFile, entryKind) {}
    bool readLine(TextCursor& in);
    void writeLine(TextSink& out, char tag) const;
};

} // namespace quillora
