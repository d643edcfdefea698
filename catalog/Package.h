// One package section of the catalogue, which also holds the state of the
// package's book data file while it is loaded.
#pragma once

#include "bookdata/LibraryEntry.h"
#include "catalog/PackageItem.h"
#include "catalog/RefList.h"
#include "catalog/ResultCode.h"
#include "platform/TextFile.h"

#include <cstdint>
#include <memory_resource>
#include <optional>
#include <string>

namespace quillora {

class Platform;
class TextCursor;
class TextSink;

class Package {
public:
    Package() = default;
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // --- catalogue operations; each setter marks the package modified
    void setName(const std::string& text);
    void setQualifier(const std::string& text);
    void setDataFileLocation(const std::string& location);
    void setSecondPath(const std::string& text);
    PackageItem* findItem(std::int32_t itemId) const;
    bool hasItem(std::int32_t itemId) const { return findItem(itemId) != nullptr; }
    std::int32_t allocateDirectoryId();

    // --- book data file
    ResultCode load(Platform& platform);
    ResultCode save(Platform& platform);
    void clear();
    // With no entries: makes room for the texts of a file of that many characters.
    void reserveEntryTexts(std::size_t fileTextSize);
    void addEntry(LibraryEntry* entry);
    // Expands "$+CD.", "$+HOME." and "$+LOCAL." through the current catalogue.
    std::string resolveDataFilePath(const std::string& location) const;
    ResultCode readHeader(TextCursor& in, std::int32_t& fileVersion);
    void writeHeader(TextSink& out) const;
    ResultCode readEntries(TextCursor& in, std::int32_t fileVersion);
    void writeEntries(TextSink& out) const;

    // Book data file state. The entries' texts are kept in entryTexts, which is
    // emptied in one step when the entries are freed, and made anew for each
    // load with room for all the texts of the file.
    std::optional<std::pmr::monotonic_buffer_resource> entryTexts{std::in_place};
    EntryList rootEntries;
    OwningList<LibraryEntry> allEntries;
    std::int32_t formatVersion = 9;
    std::int32_t maxEntryId = 1;

    // Catalogue section
    OwningList<PackageItem> items;
    std::string name = "None";
    std::string secondPath;
    std::string qualifier;
    std::string dataFileLocation;
    std::uint32_t number = 0;
    std::int32_t highItemId = 100;
    bool active = true;
    bool loaded = false;
    bool modified = false;

    // Where the last load found the file; save writes back there.
    std::string openedPath;
    LineEnding lineEnding = LineEnding::Lf;
    // Why the last load or save failed: "file:line: reason" (empty on success).
    std::string diagnostic;
};

} // namespace quillora
