// A book data file while it is loaded: its entries, the memory of their texts,
// and where and how it was read, so that a save writes it back the same way.
#pragma once

#include "bookdata/LibraryEntry.h"
#include "common/RefList.h"
#include "common/ResultCode.h"
#include "common/TextFile.h"

#include <cstdint>
#include <memory_resource>
#include <optional>
#include <string>

namespace quillora {

class Platform;
class TextCursor;
class TextSink;

class BookDataFile {
public:
    BookDataFile() = default;
    ~BookDataFile();
    BookDataFile(const BookDataFile&) = delete;
    BookDataFile& operator=(const BookDataFile&) = delete;

    // Reads the file at path (its macros already expanded); once loaded, a
    // further load reads nothing.
    ResultCode load(Platform& platform, const std::string& path);
    // Writes where the last load found the file, or to path when none did.
    ResultCode save(Platform& platform, const std::string& path);
    void clear();
    // With no entries: makes room for the texts of a file of that many characters.
    void reserveEntryTexts(std::size_t fileTextSize);
    void addEntry(LibraryEntry* entry);
    ResultCode readHeader(TextCursor& in, std::int32_t& fileVersion);
    void writeHeader(TextSink& out) const;
    ResultCode readEntries(TextCursor& in, std::int32_t fileVersion);
    void writeEntries(TextSink& out) const;

    // The entries' texts are kept in entryTexts, which is emptied in one step
    // when the entries are freed, and made anew for each load with room for
    // all the texts of the file.
    std::optional<std::pmr::monotonic_buffer_resource> entryTexts{std::in_place};
    EntryList rootEntries;
    OwningList<LibraryEntry> allEntries;
    std::int32_t formatVersion = 9;
    std::int32_t maxEntryId = 1;
    bool loaded = false;
    bool modified = false;

    // Where the last load found the file; save writes back there.
    std::string openedPath;
    LineEnding lineEnding = LineEnding::Lf;
    // Why the last load or save failed: "file:line: reason" (empty on success).
    std::string diagnostic;
};

} // namespace quillora
