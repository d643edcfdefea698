#pragma once

#include "bookdata/LibraryEntry.h"

namespace quillora {

// Tag Y: despite its name a plain record; it never opens a group.
class ExtractGroupEntry : public LibraryEntry {
public:
    explicit ExtractGroupEntry(Package* ownerPackage)
        : LibraryEntry(ownerPackage, EntryKind::ExtractGroup) {}
    bool read(TextCursor& in, std::int32_t fileVersion) override;
    bool write(TextSink& out, std::int32_t version) const override;

    std::int32_t directoryId = 0;
    std::uint8_t displayKind = 0;
    std::string text5;
    std::string text6;
    std::string text7;
    std::int32_t extraFlag = 0;
};

} // namespace quillora
