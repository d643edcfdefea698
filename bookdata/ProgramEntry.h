#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// Tag P: a program entry.
class ProgramEntry : public LibraryEntry {
public:
    explicit ProgramEntry(BookDataFile* ownerFile) : LibraryEntry(ownerFile, EntryKind::Program) {}
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    void write(TextSink& out, std::int32_t version) const override;
    EntryText textAt(TextField field) const override;
    void setText(TextField field, std::string_view text) override;

    // The P line (RecordLine.h).
    template <class Self, class Fields> static void fields(Self& program, Fields& f);

    // In this order a program takes 56 bytes.
    std::uint8_t textSpans[8] = {};
    std::int8_t extraFlag = 0;
    std::int32_t directoryId = 0;
};

} // namespace quillora
