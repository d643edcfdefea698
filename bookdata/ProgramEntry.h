#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// Tag P: a program entry.
class ProgramEntry : public LibraryEntry {
public:
    explicit ProgramEntry(Package* ownerPackage)
        : LibraryEntry(ownerPackage, EntryKind::Program) {}
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    bool write(TextSink& out, std::int32_t version) const override;

    std::int32_t directoryId = 0;
    std::string text5;
    std::string text6;
    std::string text7;
    std::string text8;
    std::int32_t extraFlag = 0;
};

} // namespace quillora
