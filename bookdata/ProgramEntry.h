#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// Tag P: a program entry.
class ProgramEntry : public LibraryEntry {
public:
    explicit ProgramEntry(BookDataFile* ownerFile) : LibraryEntry(ownerFile, EntryKind::Program) {}
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    void write(TextSink& out, std::int32_t version) const override;

    std::int32_t directoryId = 0;
    EntryText text5;
    EntryText text6;
    EntryText text7;
    EntryText text8;
    std::int8_t extraFlag = 0;

private:
    template <class Line> bool readFields(Line& line, std::int32_t fileVersion);
};

} // namespace quillora
