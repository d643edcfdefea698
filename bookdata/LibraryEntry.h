// The abstract base of every book data record.
#pragma once

#include "bookdata/RefList.h"

#include <cstdint>
#include <string_view>

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

// A text: where it lies in the text its book data file was read from (or among
// the texts the file keeps, BookDataFile::keepText). The tool never changes a
// record's texts, so reading a file copies none of them; an entry says where
// its texts are in a few bytes (TextRun).
struct EntryText {
    std::uint32_t at = 0;
    std::uint32_t size = 0;
    bool empty() const { return size == 0; }
};

// The texts a record may have; each kind's line holds some of them, in an
// order of its own.
enum class TextField : std::uint8_t {
    name,
    text2,
    text3,
    text4,
    text5,
    text6,
    text7,
    text8,
    extraText,
};

class LibraryEntry {
public:
    // Entries live in their file's memory and go with it, all at once: no kind
    // owns anything, so none is ever destroyed one by one (BookDataFile::make).
    ~LibraryEntry() = default;
    LibraryEntry(const LibraryEntry&) = delete;
    LibraryEntry& operator=(const LibraryEntry&) = delete;

    // in is just past the tag and its tab; true when the cursor has not failed.
    virtual bool read(TextCursor& in, std::int32_t fileVersion) = 0;
    // Writes the version-9 layout (a group also writes its members and E line).
    virtual void write(TextSink& out, std::int32_t version) const = 0;
    // Where one of the entry's texts lies; empty for a text its kind lacks.
    virtual EntryText textAt(TextField field) const = 0;
    // Gives the entry a text of its own (a record made by hand); a kind
    // without that text ignores it.
    virtual void setText(TextField field, std::string_view text) = 0;

    // The characters of one of this entry's texts (none for an entry of no file).
    std::string_view text(TextField field) const;

    BookDataFile* owner;
    GroupEntry* parent = nullptr;
    // The next member of parent's, in file order (MemberList).
    LibraryEntry* nextMember = nullptr;
    std::int32_t id = 0;
    std::uint32_t auxNumber = 0;
    // Where the entry's first text lies; the bytes of each kind's textSpans say
    // where the others are (TextRun).
    std::uint32_t textsAt = 0;
    EntryKind kind = EntryKind::None;
    // Flags and small codes take a byte each: a large file has hundreds of
    // thousands of entries.
    std::int8_t imageId = 9;
    std::int8_t maintain = 1;
    std::int8_t active = -1;
    std::uint8_t levelCode = 0;
    std::uint8_t typeBits = 0x10;

protected:
    LibraryEntry(BookDataFile* ownerFile, EntryKind entryKind)
        : owner(ownerFile), kind(entryKind) {}
};

using EntryList = ReferringList<LibraryEntry>;

} // namespace quillora
