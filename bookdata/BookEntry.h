#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// Tag B: one book; may be followed by an L line.
class BookEntry : public LibraryEntry {
public:
    explicit BookEntry(BookDataFile* ownerFile) : LibraryEntry(ownerFile, EntryKind::Book) {}
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    void write(TextSink& out, std::int32_t version) const override;

    std::int32_t directoryId = 0;
    std::int32_t lValue = -1;
    EntryText text5;
    EntryText text6;
    EntryText text7;
    EntryText extraText;
    std::int8_t hasLValue = 0;
    std::int8_t hasExtraText = 0;
    std::int8_t extraFlag = 0;
    std::uint8_t displayKind = 0;

private:
    template <class Line> bool readFields(Line& line, std::int32_t fileVersion);
};

} // namespace quillora
