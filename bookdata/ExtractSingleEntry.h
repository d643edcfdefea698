#pragma once

#include "bookdata/ExtractEntry.h"

namespace quillora {

// Tag X: one layout for every file version.
class ExtractSingleEntry : public ExtractEntry {
public:
    explicit ExtractSingleEntry(BookDataFile* ownerFile)
        : ExtractEntry(ownerFile, EntryKind::ExtractSingle) {}
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    void write(TextSink& out, std::int32_t version) const override;
};

} // namespace quillora
