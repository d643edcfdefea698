#include "driver/UpdateCommand.h"

#include "bookdata/BookEntry.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "driver/UpdateOptions.h"
#include "platform/LibraryRecovery.h"
#include "platform/Platform.h"
#include "platform/StagedFiles.h"
#include "product/CdDrive.h"
#include "product/PathMacro.h"
#include "product/ProductKeyTable.h"
#include "product/ProgramLocation.h"
#include "registry/InstallationSettings.h"

#include <array>
#include <memory>

namespace quillora {

namespace {

constexpr const char* kDiagnosticPrefix = "quillora-update: ";

void say(std::ostream& out, const std::string& line) {
    out << line << std::endl;
}

const char* boolText(bool value) {
    return value ? "true" : "false";
}

} // namespace

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

bool pointsAtCd(const DirectoryItem& directory, const std::string& cdDrive) {
    if (isMacroPath(directory.path)) {
        return startsWithNoCase(directory.path, token::Cd);
    }
    // The first two characters against those of the drive ("d:"), compared as C
    // strings would be: a shorter text counts as ending early.
    return toLowerAscii(directory.path.substr(0, 2)) == toLowerAscii(cdDrive.substr(0, 2));
}

class DirectoryRenumbering {
public:
    DirectoryRenumbering(Package& package, const std::string& cdDrive, std::ostream& out,
                         DirectoryChanges& changes)
        : package_(package), cdDrive_(cdDrive), out_(out), changes_(changes) {
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
            PackageItem* item = package_.findItem(book.directoryId);
            if (item == nullptr || item->kind != DirectoryItem::kKind) {
                return;
            }
            auto* directory = static_cast<DirectoryItem*>(item);
            if (pointsAtCd(*directory, cdDrive_)) {
                return;
            }
            std::int32_t allocated = package_.allocateDirectoryId();
            changes_.push_back({directory, directory->id});
            directory->id = allocated;
            newId = static_cast<std::uint32_t>(allocated);
            directoryIdMap_[oldId] = newId;
        }
        if (newId > 100) {
            book.directoryId = static_cast<std::int32_t>(newId);
            // One buffer for every such line: a large library prints very many.
            line_.assign("Updating ").append(book.name).append(" id ");
            line_.append(std::to_string(oldId)).append(" to ").append(std::to_string(newId));
            say(out_, line_);
        }
    }

private:
    Package& package_;
    const std::string& cdDrive_;
    std::ostream& out_;
    DirectoryChanges& changes_;
    std::array<std::uint32_t, 100> directoryIdMap_{};
    std::string line_;
};

} // namespace

DirectoryChanges applyEntryOptions(Package& package, const UpdateOptions& options,
                                   const std::string& cdDrive, std::ostream& out) {
    DirectoryChanges changes;
    if (!options.setMaintain && !options.setActive && !options.updateDirectories) {
        return changes;
    }
    DirectoryRenumbering renumbering(package, cdDrive, out, changes);
    std::size_t cursor = 0;
    for (LibraryEntry* entry = package.bookData.allEntries.first(cursor); entry != nullptr;
         entry = package.bookData.allEntries.next(cursor)) {
        if (options.setMaintain) {
            entry->maintain = options.maintainValue ? 1 : 0;
        }
        if (options.setActive) {
            entry->active = options.activeValue ? -1 : 0;
        }
        if (options.updateDirectories && entry->kind == EntryKind::Book) {
            renumbering.renumber(*static_cast<BookEntry*>(entry));
        }
    }
    return changes;
}

void undoDirectoryChanges(const DirectoryChanges& changes) {
    for (const DirectoryChange& change : changes) {
        change.item->id = change.oldId;
    }
}

int runUpdate(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              Platform& platform) {
    // The resource library is opened before the run and kept to its end.
    std::string resourceError;
    std::unique_ptr<ResourceLibrary> resources =
        platform.openResourceLibrary("KIVRes", resourceError);

    auto catalog = std::make_unique<LibraryCatalog>();
    catalog->catalogFileName = expandProgramMacro(catalog->catalogFileName);

    std::vector<std::string> optionWords;
    if (arguments.size() > 1) {
        optionWords.assign(arguments.begin() + 1, arguments.end());
    }
    const UpdateOptions options = parseUpdateOptions(optionWords);
    if (options.setMaintain) {
        say(out, std::string("Will set maintain flag to ") + boolText(options.maintainValue));
    }
    if (options.setActive) {
        say(out, std::string("Will set active flag to ") + boolText(options.activeValue));
    }
    if (options.updateDirectories) {
        say(out, "Will update directory entries for copied books.");
    }

    InstallDirectories located;
    locateProgram(located, arguments.empty() ? std::string() : arguments[0], platform);
    catalog->homeDirectory = located.home;
    catalog->localDirectory = located.local;

    if (!resources) {
        err << kDiagnosticPrefix << "cannot open the resource library KIVRes: " << resourceError
            << std::endl;
    }
    std::string diagnostic;
    if (!readInstallationSettings(*catalog, resources.get(), platform, diagnostic)) {
        say(out, "Error reading registry. Update aborted.");
        err << kDiagnosticPrefix << diagnostic << std::endl;
        return kExitStopped;
    }
    if (!diagnostic.empty()) {
        err << kDiagnosticPrefix << diagnostic << std::endl;
    }

    const std::string catalogName = programName() + ".ini";
    say(out, "Reading " + catalogName);
    // From here to the last file in place the library is this run's alone; a
    // run that died before leaves its commit record, finished or undone first.
    FileSystem& disk = platform.fileSystem();
    std::string lockError;
    std::unique_ptr<LibraryLock> lock = disk.lockLibrary(
        programName() + ".lock",
        [&err] {
            err << kDiagnosticPrefix << "waiting for another run on this library to finish"
                << std::endl;
        },
        lockError);
    const std::string recordPath = programName() + ".commit";
    std::vector<std::string> notes;
    std::string recoveryError;
    bool recovered = lock != nullptr && recoverLibrary(disk, recordPath, notes, recoveryError);
    for (const std::string& note : notes) {
        err << kDiagnosticPrefix << note << std::endl;
    }
    if (!recovered) {
        say(out, "Cannot find " + catalogName);
        err << kDiagnosticPrefix << (lock ? recoveryError : lockError)
            << "; nothing was read or written" << std::endl;
        return kExitStopped;
    }
    ResultCode readResult = catalog->readCatalog(platform);
    if (!isSuccess(readResult)) {
        say(out, "Cannot find " + catalogName);
        err << kDiagnosticPrefix << catalog->diagnostic << " (result " << readResult
            << "); nothing was written" << std::endl;
        return kExitStopped;
    }

    const std::string cdDrive = findCdDrive(platform);
    const InstallDirectories directories = catalog->installDirectories();
    int status = kExitOk;
    // The book data files and the catalogue refer to each other (directory
    // identifiers): none is replaced until all are written.
    StagedFiles files(platform, recordPath);
    std::size_t cursor = 0;
    for (Package* package = catalog->body.packages.first(cursor); package != nullptr;
         package = catalog->body.packages.next(cursor)) {
        say(out, "\tLoading " + package->name);
        ResultCode loadResult = package->load(files, directories);
        if (!isSuccess(loadResult)) {
            // Saving what little was read would destroy the file: leave it as it is.
            err << kDiagnosticPrefix << "package " << package->name << ": "
                << package->bookData.diagnostic << " (result " << loadResult
                << "); its book data file is left unchanged" << std::endl;
            abbreviatePackagePaths(*package, directories);
            status = kExitIncomplete;
            continue;
        }
        DirectoryChanges changes = applyEntryOptions(*package, options, cdDrive, out);
        abbreviatePackagePaths(*package, directories);
        say(out, "\tSaving");
        ResultCode saveResult = package->save(files, directories);
        if (!isSuccess(saveResult)) {
            // The file keeps its old identifiers, so the catalogue must too.
            undoDirectoryChanges(changes);
            err << kDiagnosticPrefix << "package " << package->name << ": "
                << package->bookData.diagnostic << " (result " << saveResult
                << "); its book data file is left unchanged and its directories keep their "
                   "identifiers"
                << std::endl;
            status = kExitIncomplete;
        }
        // Nothing reads the entries again; free them before the next package.
        package->bookData.clear();
    }

    // The catalogue cannot hold a section without a name; its writer leaves such
    // a section out. Say so, rather than let its lines go unnoticed.
    for (const Package* package : catalog->body.packages) {
        if (package->name.empty()) {
            err << kDiagnosticPrefix << "a package section with no name (book data file \""
                << package->dataFileLocation << "\", " << package->items.count()
                << " items) is not written back to " << catalogName << std::endl;
        }
    }
    say(out, "Saving " + catalogName);
    ResultCode writeResult = catalog->writeCatalog(files);
    if (!isSuccess(writeResult)) {
        files.discard();
        err << kDiagnosticPrefix << catalog->diagnostic << " (result " << writeResult
            << "); nothing was written" << std::endl;
        return kExitIncomplete;
    }
    std::vector<std::string> failures;
    if (!files.commit(failures)) {
        for (const std::string& failure : failures) {
            err << kDiagnosticPrefix << failure << std::endl;
        }
        status = kExitIncomplete;
    }
    return status;
}

} // namespace quillora
