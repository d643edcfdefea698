// The abstract base of every book data record.
#pragma once

#include "common/RefList.h"

#include <cstdint>
#include <memory_resource>
#include <string>

namespace quillora {

class BookDataFile;
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

// A record's texts. A book data file reads its entries together and frees them
// together, so their texts come from the file's own memory, not one heap
// allocation each.
using EntryText = std::pmr::string;

class LibraryEntry {
public:
    virtual ~LibraryEntry() = default;
    LibraryEntry(const LibraryEntry&) = delete;
    LibraryEntry& operator=(const LibraryEntry&) = delete;

    // in is just past the tag and its tab; true when the cursor has not failed.
    virtual bool read(TextCursor& in, std::int32_t fileVersion) = 0;
    // Writes the version-9 layout (a group also writes its members and E line).
    virtual void write(TextSink& out, std::int32_t version) const = 0;

    BookDataFile* owner;

private:
    // First, so that every text below can be made with it.
    std::pmr::memory_resource* textMemory_;

public:
    std::int32_t id = 0;
    EntryText name{textMemory_};
    EntryText text2{textMemory_};
    EntryText text3{textMemory_};
    std::int8_t active = -1;
    std::int32_t imageId = 9;
    std::int32_t maintain = 1;
    std::uint8_t levelCode = 0;
    std::uint32_t auxNumber = 0;
    EntryText text4{textMemory_};
    std::uint8_t typeBits = 0x10;
    EntryKind kind = EntryKind::None;
    GroupEntry* parent = nullptr;

protected:
    LibraryEntry(BookDataFile* ownerFile, EntryKind entryKind, std::pmr::memory_resource* memory)
        : owner(ownerFile), textMemory_(memory), kind(entryKind) {}
    std::pmr::memory_resource* textMemory() const { return textMemory_; }
};

using EntryList = ReferringList<LibraryEntry>;

// Where the texts of an entry of this file are kept; the general heap for an
// entry of no file.
std::pmr::memory_resource* entryMemoryOf(BookDataFile* file);

} // namespace quillora
