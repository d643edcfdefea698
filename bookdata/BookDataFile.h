// A book data file while it is loaded: its entries, the memory of their texts,
// and where and how it was read, so that a save writes it back the same way.
#pragma once

#include "bookdata/LibraryEntry.h"
#include "common/RefList.h"
#include "common/ResultCode.h"
#include "common/TextFile.h"

#include <cstdint>
#include <memory_resource>
#include <new>
#include <optional>
#include <string>
#include <string_view>

namespace quillora {

class Platform;
class TextCursor;
class TextSink;

class BookDataFile {
public:
    BookDataFile() = default;
    ~BookDataFile() { clear(); }
    BookDataFile(const BookDataFile&) = delete;
    BookDataFile& operator=(const BookDataFile&) = delete;

    // Reads the file at path (its macros already expanded); once loaded, a
    // further load reads nothing.
    ResultCode load(Platform& platform, const std::string& path);
    // Writes where the last load found the file, or to path when none did.
    ResultCode save(Platform& platform, const std::string& path);
    // Frees every entry and the file's text.
    void clear();
    // A new entry of this file, in the file's own memory: it lives until
    // clear(), once added, or until discard().
    template <class Entry> Entry* make() {
        return new (memory_->allocate(sizeof(Entry), alignof(Entry))) Entry(this);
    }
    void discard(LibraryEntry* entry) { entry->~LibraryEntry(); }
    // A text that is not part of the file, kept as long as the entries are.
    EntryText keepText(std::string_view text);
    // entry is made by make() and from now on freed by clear().
    void addEntry(LibraryEntry* entry);
    // The entries' texts are views into in's text: it must outlive them.
    ResultCode readHeader(TextCursor& in, std::int32_t& fileVersion);
    void writeHeader(TextSink& out) const;
    ResultCode readEntries(TextCursor& in, std::int32_t fileVersion);
    void writeEntries(TextSink& out) const;

    EntryList rootEntries;
    // Every entry, in file order.
    EntryList allEntries;
    std::int32_t formatVersion = 9;
    std::int32_t maxEntryId = 1;
    bool loaded = false;
    bool modified = false;

    // Where the last load found the file; save writes back there.
    std::string openedPath;
    LineEnding lineEnding = LineEnding::Lf;
    // Why the last load or save failed: "file:line: reason" (empty on success).
    std::string diagnostic;

private:
    // The text of the loaded file, which the entries' texts point into.
    std::string text_;
    // The entries and kept texts, freed together; made anew for each load.
    std::optional<std::pmr::monotonic_buffer_resource> memory_{std::in_place};
};

} // namespace quillora
