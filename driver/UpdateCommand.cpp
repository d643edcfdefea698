#include "driver/UpdateCommand.h"

#include "bookdata/BookEntry.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "driver/LibraryRecovery.h"
#include "driver/UpdateOptions.h"
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
            line_.assign("Updating ").append(book.textOf(book.name)).append(" id ");
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

namespace {

void announceOptions(const UpdateOptions& options, std::ostream& out) {
    if (options.setMaintain) {
        say(out, std::string("Will set maintain flag to ") + boolText(options.maintainValue));
    }
    if (options.setActive) {
        say(out, std::string("Will set active flag to ") + boolText(options.activeValue));
    }
    if (options.updateDirectories) {
        say(out, "Will update directory entries for copied books.");
    }
}

// The steps of one run, each printing its own messages.
class UpdateRun {
public:
    UpdateRun(std::ostream& out, std::ostream& err, Platform& platform)
        : out_(out), err_(err), platform_(platform), recordPath_(programName() + ".commit"),
          cdDrive_(findCdDrive(platform.installation())) {
        catalog_.catalogFileName = expandProgramMacro(catalog_.catalogFileName);
    }

    const std::string& recordPath() const { return recordPath_; }

    // The installation's directories: where the program is, then the registry.
    bool readSettings(const std::string& programPath, const ResourceLibrary* resources,
                      const std::string& resourceError) {
        InstallDirectories located;
        locateProgram(located, programPath, platform_);
        catalog_.homeDirectory = located.home;
        catalog_.localDirectory = located.local;
        if (resources == nullptr) {
            note("cannot open the resource library KIVRes: " + resourceError);
        }
        std::string diagnostic;
        if (!readInstallationSettings(catalog_, resources, platform_.installation(), diagnostic,
                                      &cdDrive_)) {
            say(out_, "Error reading registry. Update aborted.");
            note(diagnostic);
            return false;
        }
        if (!diagnostic.empty()) {
            note(diagnostic);
        }
        return true;
    }

    // From here to the last file in place the library is this run's alone; a
    // run that died before leaves its commit record, finished or undone first.
    std::unique_ptr<LibraryLock> lockAndRecover() {
        say(out_, "Reading " + catalogName());
        // The lock file lies beside the catalogue: no catalogue, no lock file.
        if (!platform_.hasFile(catalogName())) {
            readCatalogue(); // says why, as for a catalogue that cannot be read
            return nullptr;
        }
        FileSystem& disk = platform_.fileSystem();
        std::string lockError;
        std::unique_ptr<LibraryLock> lock = disk.lockLibrary(
            programName() + ".lock",
            [this] { note("waiting for another run on this library to finish"); }, lockError);
        std::vector<std::string> notes;
        std::string recoveryError;
        bool recovered = lock != nullptr && recoverLibrary(disk, recordPath_, notes, recoveryError);
        for (const std::string& text : notes) {
            note(text);
        }
        if (!recovered) {
            say(out_, "Cannot find " + catalogName());
            note((lock ? recoveryError : lockError) + "; nothing was read or written");
            return nullptr;
        }
        return lock;
    }

    bool readCatalogue() {
        const ResultCode readResult = catalog_.readCatalog(platform_);
        if (!isSuccess(readResult)) {
            say(out_, "Cannot find " + catalogName());
            noteResult(catalog_.diagnostic, readResult, "; nothing was written");
            return false;
        }
        return true;
    }

    // Where the run may stop: an interrupt that came before the commit ends it
    // here, with everything this run staged removed. False when none came.
    bool stopsHere(StagedFiles* files) {
        if (platform_.interrupts().pendingStatus() == 0) {
            return false;
        }
        if (files != nullptr) {
            files->discard();
        }
        note("interrupted: nothing was changed");
        return true;
    }
    int interruptStatus() { return platform_.interrupts().pendingStatus(); }

    // Stops at the first package after an interrupt, leaving the rest to the caller.
    ExitStatus updatePackages(const UpdateOptions& options, StagedFiles& files) {
        const InstallDirectories directories = catalog_.installDirectories();
        ExitStatus status = kExitOk;
        std::size_t cursor = 0;
        for (Package* package = catalog_.body.packages.first(cursor);
             package != nullptr && interruptStatus() == 0;
             package = catalog_.body.packages.next(cursor)) {
            if (!updatePackage(*package, options, directories, files)) {
                status = kExitIncomplete;
            }
            // Nothing reads the entries again; free them before the next package.
            package->bookData.clear();
        }
        return status;
    }

    int writeAndCommit(StagedFiles& files, ExitStatus status) {
        if (stopsHere(&files)) {
            return interruptStatus();
        }
        warnOfNamelessPackages();
        say(out_, "Saving " + catalogName());
        const ResultCode writeResult = catalog_.writeCatalog(files);
        if (!isSuccess(writeResult)) {
            files.discard();
            noteResult(catalog_.diagnostic, writeResult, "; nothing was written");
            return kExitIncomplete;
        }
        if (stopsHere(&files)) {
            return interruptStatus();
        }
        std::vector<std::string> failures;
        const bool committed = files.commit(failures);
        for (const std::string& failure : failures) {
            note(failure);
        }
        // The commit held the interrupt back until it was over.
        if (interruptStatus() != 0) {
            note(committed ? "interrupted: the update was completed first"
                           : "interrupted: the commit was over first (see above)");
            return interruptStatus();
        }
        return committed ? status : kExitIncomplete;
    }

private:
    const std::string& catalogName() const { return catalog_.catalogFileName; }
    void note(const std::string& text) { err_ << kDiagnosticPrefix << text << std::endl; }
    void noteResult(const std::string& why, ResultCode code, const std::string& outcome) {
        note(why + " (result " + std::to_string(code) + ")" + outcome);
    }

    // Loads, changes and saves one package; false when its file was left as it was.
    bool updatePackage(Package& package, const UpdateOptions& options,
                       const InstallDirectories& directories, StagedFiles& files) {
        say(out_, "\tLoading " + package.name);
        const ResultCode loadResult = package.load(files, directories);
        if (!isSuccess(loadResult)) {
            // Saving what little was read would destroy the file: leave it as it is.
            noteResult("package " + package.name + ": " + package.bookData.diagnostic, loadResult,
                       "; its book data file is left unchanged");
            abbreviatePackagePaths(package, directories);
            return false;
        }
        DirectoryChanges changes = applyEntryOptions(package, options, cdDrive_, out_);
        abbreviatePackagePaths(package, directories);
        say(out_, "\tSaving");
        const ResultCode saveResult = package.save(files, directories);
        if (!isSuccess(saveResult)) {
            // The file keeps its old identifiers, so the catalogue must too.
            undoDirectoryChanges(changes);
            noteResult("package " + package.name + ": " + package.bookData.diagnostic, saveResult,
                       "; its book data file is left unchanged and its directories keep their "
                       "identifiers");
            return false;
        }
        return true;
    }

    // The catalogue cannot hold a section without a name; its writer leaves such
    // a section out. Say so, rather than let its lines go unnoticed.
    void warnOfNamelessPackages() {
        for (const Package* package : catalog_.body.packages) {
            if (package->name.empty()) {
                note("a package section with no name (book data file \"" +
                     package->dataFileLocation + "\", " + std::to_string(package->items.count()) +
                     " items) is not written back to " + catalogName());
            }
        }
    }

    std::ostream& out_;
    std::ostream& err_;
    Platform& platform_;
    LibraryCatalog catalog_;
    const std::string recordPath_;
    // Looked for once: the settings fall back to it and renumbering needs it.
    const std::string cdDrive_;
};

} // namespace

int runUpdate(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              Platform& platform) {
    // The resource library is opened before the run and kept to its end.
    std::string resourceError;
    const std::unique_ptr<ResourceLibrary> resources =
        platform.installation().openResourceLibrary("KIVRes", resourceError);
    UpdateRun run(out, err, platform);
    const UpdateOptions options = parseUpdateOptions(
        arguments.size() > 1 ? std::vector<std::string>(arguments.begin() + 1, arguments.end())
                             : std::vector<std::string>());
    announceOptions(options, out);
    const std::string programPath = arguments.empty() ? std::string() : arguments[0];
    if (!run.readSettings(programPath, resources.get(), resourceError)) {
        return kExitStopped;
    }
    const std::unique_ptr<LibraryLock> lock = run.lockAndRecover();
    if (lock == nullptr) {
        return kExitStopped;
    }
    if (run.stopsHere(nullptr)) {
        return run.interruptStatus();
    }
    if (!run.readCatalogue()) {
        return kExitStopped;
    }
    // The book data files and the catalogue refer to each other (directory
    // identifiers): none is replaced until all are written.
    StagedFiles files(platform, run.recordPath());
    const ExitStatus status = run.updatePackages(options, files);
    return run.writeAndCommit(files, status);
}

} // namespace quillora
