// A book data file while it is loaded: its entries, the memory of their texts,
// and where and how it was read, so that a save writes it back the same way.
#pragma once

#include "bookdata/EntryArena.h"
#include "bookdata/LibraryEntry.h"
#include "bookdata/RefList.h"
#include "platform/ResolvedPath.h"
#include "status/Status.h"
#include "text/TextFile.h"

#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quillora {

class FileStage;
class Platform;
struct FileBytes;
class TextCursor;
class TextSink;

class BookDataFile {
public:
    BookDataFile() = default;
    ~BookDataFile() { clear(); }
    BookDataFile(const BookDataFile&) = delete;
    BookDataFile& operator=(const BookDataFile&) = delete;

    // Reads the file at path (its macros already expanded); once loaded, a
    // further load reads nothing. A failure carries the format's result code
    // and says why as "file:line: reason".
    Status load(Platform& platform, const std::string& path);
    // The two halves of load: the file's bytes, read through platform, and
    // what is made of them, which touches nothing but this file.
    static Expected<FileBytes> readSource(Platform& platform, const std::string& path);
    Status loadFrom(Expected<FileBytes> source);
    // Writes where the last load found the file, or to path when none did.
    Status save(FileStage& stage, const std::string& path);
    // Frees every entry and the file's text.
    void clear();
    // A new entry of this file, in the file's own memory: it lives until
    // clear(), which frees that memory without a call for each entry.
    template <class Entry> Entry* make() {
        static_assert(std::is_trivially_destructible_v<Entry>,
                      "an entry must own nothing: clear() never destroys it");
        return new (memory_.allocate(sizeof(Entry), alignof(Entry))) Entry(this);
    }
    // The characters of an entry's text.
    std::string_view text(EntryText text) const {
        return (text.at & kKept) != 0
                   ? std::string_view(kept_.data() + (text.at & ~kKept), text.size)
                   : std::string_view(source_.data() + text.at, text.size);
    }
    // A text that is not part of the file (a record made by hand), kept as
    // long as the entries are.
    EntryText keepText(std::string_view text);
    // An entry's texts that do not fit in its own bytes (TextRun), kept as long
    // as the entries are; the number says where they are.
    std::uint32_t keepTexts(const EntryText* texts, std::size_t count);
    EntryText wideText(std::uint32_t texts, std::size_t slot) const { return wide_[texts + slot]; }
    // The text that the entries read from now on point into; readEntries sets
    // it to its cursor's. It must outlive them.
    void setSourceText(std::string_view text) { source_ = text; }
    // entry is made by make() and from now on freed by clear().
    void addEntry(LibraryEntry* entry);
    Status readHeader(TextCursor& in, std::int32_t& fileVersion);
    void writeHeader(TextSink& out) const;
    // The entries' texts point into in's text, which must outlive them.
    Status readEntries(TextCursor& in, std::int32_t fileVersion);
    void writeEntries(TextSink& out) const;

    EntryList rootEntries;
    // Every entry, in file order.
    EntryList allEntries;
    std::int32_t formatVersion = 9;
    std::int32_t maxEntryId = 1;
    bool loaded = false;
    bool modified = false;

    // Where the last load found the file; save writes back there.
    ResolvedPath openedPath;
    LineEnding lineEnding = LineEnding::Lf;

    // A text of this size or more cannot be read: an entry's texts say where
    // they are in 31 bits.
    static constexpr std::size_t kLargestText = std::size_t{1} << 31;
    // The oldest version read.
    static constexpr std::int32_t kOldestVersion = 3;

private:
    static constexpr std::uint32_t kKept = std::uint32_t{1} << 31;

    // The text of the loaded file.
    TextBuffer text_;
    // What the entries' texts point into: text_, or the text a caller read from.
    std::string_view source_;
    // Texts not from the file.
    std::string kept_;
    // The texts of the entries whose texts keepTexts keeps.
    std::vector<EntryText> wide_;
    // The entries, freed together; made anew for each load.
    EntryArena memory_;
};

} // namespace quillora
