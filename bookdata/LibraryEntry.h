// The abstract base of every book data record.
#pragma once

#include "catalog/RefList.h"

#include <cstdint>
#include <string>

namespace quillora {

class Package;
class GroupEntry;
class TextCursor;
class TextSink;

enum class EntryKind : std::uint16_t {
    None = 0,
    Book = 0x0100,
    Group = 0x0200,
    Program = 0x0800,
    ExtractSingle = 0x1000,
    ExtractGroup = 0x2000,
};

class LibraryEntry {
public:
    virtual ~LibraryEntry() = default;
    LibraryEntry(const LibraryEntry&) = delete;
    LibraryEntry& operator=(const LibraryEntry&) = delete;

    // in is just past the tag and its tab; true when the cursor has not failed.
    virtual bool read(TextCursor& in, std::int32_t fileVersion) = 0;
    // Writes the version-9 layout (a group also writes its members and E line).
    virtual bool write(TextSink& out, std::int32_t version) const = 0;

    Package* owner;
    std::int32_t id = 0;
    std::string name;
    std::string text2;
    std::string text3;
    std::int8_t active = -1;
    std::int32_t imageId = 9;
    std::int32_t maintain = 1;
    std::uint8_t levelCode = 0;
    std::uint32_t auxNumber = 0;
    std::string text4;
    std::uint8_t typeBits = 0x10;
    EntryKind kind = EntryKind::None;
    GroupEntry* parent = nullptr;

protected:
    LibraryEntry(Package* ownerPackage, EntryKind entryKind)
        : owner(ownerPackage), kind(entryKind) {}
};

using EntryList = ReferringList<LibraryEntry>;

} // namespace quillora
