#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// Tag P: a program entry.
class ProgramEntry : public LibraryEntry {
public:
    explicit ProgramEntry(BookDataFile* ownerFile)
        : LibraryEntry(ownerFile, EntryKind::Program, entryMemoryOf(ownerFile)) {}
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    void write(TextSink& out, std::int32_t version) const override;

    std::int32_t directoryId = 0;
    EntryText text5{textMemory()};
    EntryText text6{textMemory()};
    EntryText text7{textMemory()};
    EntryText text8{textMemory()};
    std::int32_t extraFlag = 0;
};

} // namespace quillora
