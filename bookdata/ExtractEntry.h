#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// What tags X and Y share: the same fields and one line layout for every file
// version (no version gates, no old type codes). X adds text8 after the name.
class ExtractEntry : public LibraryEntry {
public:
    std::int32_t directoryId = 0;
    std::uint8_t displayKind = 0;
    std::string text5;
    std::string text6;
    std::string text7;
    std::int32_t extraFlag = 0;

protected:
    ExtractEntry(Package* ownerPackage, EntryKind entryKind)
        : LibraryEntry(ownerPackage, entryKind) {}
    // text8 is null for the layout without it.
    bool readLine(TextCursor& in, std::string* text8);
    bool writeLine(TextSink& out, char tag, const std::string* text8) const;
};

} // namespace quillora
