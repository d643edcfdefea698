#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// Tag B: one book; may be followed by an L line.
class BookEntry : public LibraryEntry {
public:
    explicit BookEntry(BookDataFile* ownerFile) : LibraryEntry(ownerFile, EntryKind::Book) {}
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    void write(TextSink& out, std::int32_t version) const override;
    EntryText textAt(TextField field) const override;
    void setText(TextField field, std::string_view text) override;

    // The B line (RecordLine.h).
    template <class Self, class Fields> static void fields(Self& book, Fields& f);

    // In this order a book takes 64 bytes: the slots of its seven texts, the
    // gap before its extra text and the extra text itself (TextRun).
    std::uint8_t textSpans[9] = {};
    std::uint8_t displayKind = 0;
    std::int8_t hasLValue = 0;
    std::int8_t hasExtraText = 0;
    std::int8_t extraFlag = 0;
    std::int32_t directoryId = 0;
    std::int32_t lValue = -1;
};

} // namespace quillora
