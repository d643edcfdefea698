#pragma once

#include "bookdata/ExtractEntry.h"

namespace quillora {

// Tag Y: despite its name a plain record; it never opens a group. Its line is
// the X line without text8.
class ExtractGroupEntry : public ExtractEntry {
public:
    explicit ExtractGroupEntry(BookDataFile* ownerFile)
        : ExtractEntry(ownerFile, EntryKind::ExtractGroup) {}
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    void write(TextSink& out, std::int32_t version) const override;
};

} // namespace quillora
