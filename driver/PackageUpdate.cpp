#include "driver/PackageUpdate.h"

#include "bookdata/BookEntry.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "driver/UpdateOptions.h"
#include "product/CdDrive.h"
#include "product/PathMacro.h"
#include "text/TextSink.h"

#include <array>
#include <cstring>
#include <string_view>

namespace quillora {

void abbreviatePackagePaths(Package& package, const InstallDirectories& directories) {
    package.setDataFileLocation(abbreviatePath(package.dataFileLocation, directories));
    package.setSecondPath(abbreviatePath(package.secondPath, directories));
    std::size_t cursor = 0;
    for (PackageItem* item = package.items.first(cursor); item != nullptr;
         item = package.items.next(cursor)) {
        if (item->kind == DirectoryItem::kKind) {
            auto* directory = static_cast<DirectoryItem*>(item);
            directory->path = abbreviatePath(directory->path, directories);
        }
    }
}

namespace {

// On the CD: written with its macro, on the CD drive's letter, or under the CD
// directory as abbreviation finds it, so that no run renumbers a directory as
// copied and then writes it as being on the CD.
bool pointsAtCd(const DirectoryItem& directory, const InstallDirectories& directories,
                const std::string& cdDrive) {
    if (isMacroPath(directory.path)) {
        return startsWithNoCase(directory.path, token::Cd);
    }
    // The first two characters against those of the drive ("d:"), compared as C
    // strings would be: a shorter text counts as ending early.
    return toLowerAscii(directory.path.substr(0, 2)) == toLowerAscii(cdDrive.substr(0, 2)) ||
           startsWithNoCase(abbreviatePath(directory.path, directories), token::Cd);
}

class DirectoryRenumbering {
public:
    DirectoryRenumbering(Package& package, const InstallDirectories& directories,
                         const std::string& cdDrive, std::ostream& out, DirectoryChanges& changes)
        : package_(package), directories_(directories), cdDrive_(cdDrive), out_(out),
          changes_(changes) {
        directoryIdMap_.fill(0);
    }

    void renumber(BookEntry& book) {
        // Compared unsigned: a negative identifier is not below 100.
        auto oldId = static_cast<std::uint32_t>(book.directoryId);
        if (oldId >= directoryIdMap_.size()) {
            return;
        }
        std::uint32_t newId = directoryIdMap_[oldId];
        if (newId == 0) {
            if (kept_[oldId] || !lookUp(book.directoryId, newId)) {
                kept_[oldId] = true;
                return;
            }
            directoryIdMap_[oldId] = newId;
        }
        if (newId > 100) {
            book.directoryId = static_cast<std::int32_t>(newId);
            say(book.text(TextField::name), oldId, newId);
        }
    }

private:
    // Gives the directory with this identifier a new one, unless no directory
    // has it or it is on the CD: then its books keep it (false).
    bool lookUp(std::int32_t oldId, std::uint32_t& newId) {
        PackageItem* item = package_.findItem(oldId);
        if (item == nullptr || item->kind != DirectoryItem::kKind) {
            return false;
        }
        auto* directory = static_cast<DirectoryItem*>(item);
        if (pointsAtCd(*directory, directories_, cdDrive_)) {
            return false;
        }
        const std::int32_t allocated = package_.allocateDirectoryId();
        changes_.push_back({directory, directory->id});
        directory->id = allocated;
        newId = static_cast<std::uint32_t>(allocated);
        // An identifier below 100 handed out now may be one that named nothing
        // a moment ago: the kept ones are looked up again.
        if (newId < kept_.size()) {
            kept_.fill(false);
        }
        return true;
    }

    // "Updating <name> id <old> to <new>", flushed as every message. One
    // buffer for every such line, filled through a pointer, and one write: a
    // large library prints very many.
    void say(std::string_view name, std::uint32_t oldId, std::uint32_t newId) {
        constexpr std::string_view kStart = "Updating ", kOld = " id ", kNew = " to ";
        const std::size_t most =
            kStart.size() + name.size() + kOld.size() + kNew.size() + 2 * TextSink::kNumberRoom + 1;
        if (line_.size() < most) {
            line_.resize(most);
        }
        char* p = put(line_.data(), kStart);
        p = put(put(p, name), kOld);
        p = put(formatDecimal(p, oldId), kNew);
        p = formatDecimal(p, newId);
        *p++ = '\n';
        // Straight to the stream's buffer: the stream's own checks, twice a
        // message, cost more than the message.
        std::streambuf& buffer = *out_.rdbuf();
        buffer.sputn(line_.data(), p - line_.data());
        buffer.pubsync();
    }
    static char* put(char* to, std::string_view text) {
        if (!text.empty()) {
            std::memcpy(to, text.data(), text.size());
        }
        return to + text.size();
    }

    Package& package_;
    const InstallDirectories& directories_;
    const std::string& cdDrive_;
    std::ostream& out_;
    DirectoryChanges& changes_;
    std::array<std::uint32_t, 100> directoryIdMap_{};
    // The identifiers whose books keep them, so that each is looked up once:
    // a directory has many books.
    std::array<bool, 100> kept_{};
    std::string line_;
};

} // namespace

DirectoryChanges applyEntryOptions(Package& package, const UpdateOptions& options,
                                   const InstallDirectories& directories,
                                   const std::string& cdDrive, std::ostream& out,
                                   EntryChangeCount* counted) {
    DirectoryChanges changes;
    if (!options.setMaintain && !options.setActive && !options.updateDirectories) {
        return changes;
    }
    DirectoryRenumbering renumbering(package, directories, cdDrive, out, changes);
    EntryChangeCount count;
    std::size_t cursor = 0;
    for (LibraryEntry* entry = package.bookData.allEntries.first(cursor); entry != nullptr;
         entry = package.bookData.allEntries.next(cursor)) {
        const std::size_t flagsBefore = count.flags;
        bool renumbered = false;
        // A group's line holds no maintain flag.
        if (options.setMaintain) {
            const std::int8_t value = options.maintainValue ? 1 : 0;
            count.flags += entry->maintain != value && entry->kind != EntryKind::Group ? 1 : 0;
            entry->maintain = value;
        }
        if (options.setActive) {
            const std::int8_t value = options.activeValue ? -1 : 0;
            count.flags += entry->active != value ? 1 : 0;
            entry->active = value;
        }
        if (options.updateDirectories && entry->kind == EntryKind::Book) {
            auto* book = static_cast<BookEntry*>(entry);
            const std::int32_t before = book->directoryId;
            renumbering.renumber(*book);
            renumbered = book->directoryId != before;
        }
        count.records += count.flags != flagsBefore || renumbered ? 1 : 0;
    }
    if (counted != nullptr) {
        *counted = count;
    }
    return changes;
}

void undoDirectoryChanges(const DirectoryChanges& changes) {
    for (const DirectoryChange& change : changes) {
        change.item->id = change.oldId;
    }
}

} // namespace quillora
