#include "driver/UpdateCommand.h"

#include "bookdata/BookEntry.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "commit/LibraryRecovery.h"
#include "commit/RecoveryPreview.h"
#include "commit/StagedFiles.h"
#include "driver/BackgroundWorker.h"
#include "driver/PackageReadAhead.h"
#include "driver/PackageUpdate.h"
#include "driver/ProgramHelp.h"
#include "driver/UnifiedDiff.h"
#include "driver/UpdateOptions.h"
#include "driver/WorkerOutput.h"
#include "platform/Platform.h"
#include "platform/PreviewFiles.h"
#include "product/CdDrive.h"
#include "product/PathMacro.h"
#include "product/ProductKeyTable.h"
#include "product/ProgramLocation.h"
#include "registry/InstallationSettings.h"

#include <algorithm>
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

std::string commitRecordName() {
    return programName() + ".commit";
}

// "1 flag", "2 flags".
std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

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
    // preview: the platform of a run that writes nothing, or null.
    UpdateRun(std::ostream& out, std::ostream& err, Platform& platform, PreviewFiles* preview)
        : out_(out), err_(err), platform_(platform), preview_(preview),
          recordPath_(commitRecordName()), cdDrive_(findCdDrive(platform.installation())) {
        catalog_.catalogFileName = expandProgramMacro(catalog_.catalogFileName);
    }

    const std::string& recordPath() const { return recordPath_; }

    // The installation's directories: where the program is, then the registry.
    bool readSettings(const std::string& programPath,
                      const Expected<std::unique_ptr<ResourceLibrary>>& resources) {
        InstallDirectories located;
        locateProgram(located, programPath, platform_);
        catalog_.homeDirectory = located.home;
        catalog_.localDirectory = located.local;
        if (!resources) {
            note("cannot open the resource library KIVRes: " + resources.status().reason());
        }
        const SettingsOutcome settings = readInstallationSettings(
            catalog_, resources ? resources->get() : nullptr, platform_.installation(), &cdDrive_);
        if (!settings.runGoesOn) {
            say(out_, "Error reading registry. Update aborted.");
            note(settings.note);
            return false;
        }
        if (!settings.note.empty()) {
            note(settings.note);
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
        if (preview_ != nullptr) {
            return lockToPreview(disk);
        }
        Expected<std::unique_ptr<LibraryLock>> lock =
            disk.lockLibrary(programName() + ".lock",
                             [this] { note("waiting for another run on this library to finish"); });
        Status stopped = lock.status();
        if (lock) {
            Recovery recovery = recoverLibrary(disk, recordPath_);
            for (const std::string& text : recovery.notes) {
                note(text);
            }
            stopped = std::move(recovery.status);
        }
        if (!stopped) {
            say(out_, "Cannot find " + catalogName());
            note(stopped.reason() + "; nothing was read or written");
            return nullptr;
        }
        return std::move(*lock);
    }

    // Shares the lock with other previews, creating nothing; an interrupted run
    // is described, not recovered, and stops the preview.
    std::unique_ptr<LibraryLock> lockToPreview(FileSystem& disk) {
        Expected<std::unique_ptr<LibraryLock>> lock =
            disk.shareLibraryLock(programName() + ".lock", [this] {
                note("waiting for another run on this library to finish");
            });
        const std::string recovery =
            lock ? describeRecovery(disk, recordPath_) : lock.status().reason();
        if (recovery.empty()) {
            return std::move(*lock);
        }
        say(out_, "Cannot find " + catalogName());
        note("dry run: " + recovery + "; nothing was read or written");
        return nullptr;
    }

    bool readCatalogue() {
        const Status read = catalog_.readCatalog(platform_);
        if (!read) {
            say(out_, "Cannot find " + catalogName());
            note(read.reason() + "; nothing was written");
            return false;
        }
        return true;
    }

    // Where the run may stop: an interrupt that came before the commit ends it
    // here, with everything this run staged removed. False when none came.
    bool stopsHere(FileTransaction* files) {
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
    ExitStatus updatePackages(const UpdateOptions& options, FileTransaction& files) {
        const InstallDirectories directories = catalog_.installDirectories();
        ExitStatus status = kExitOk;
        BackgroundWorker worker;
        PackageReadAhead ahead(worker);
        std::size_t cursor = 0;
        Package* package = catalog_.body.packages.first(cursor);
        while (package != nullptr && interruptStatus() == 0) {
            Package* const next = catalog_.body.packages.next(cursor);
            if (!updatePackage(*package, next, options, directories, files, worker, ahead)) {
                status = kExitIncomplete;
                ++unsaved_;
            }
            // Nothing reads the entries again; free them before the next package.
            package->bookData.clear();
            package = next;
        }
        return status;
    }

    int writeAndCommit(FileTransaction& files, ExitStatus status) {
        if (stopsHere(&files)) {
            return interruptStatus();
        }
        warnOfNamelessPackages();
        say(out_, "Saving " + catalogName());
        const Status written = catalog_.writeCatalog(files);
        if (!written) {
            files.discard();
            note(written.reason() + "; nothing was written");
            summarise(preview_ ? "the catalogue could not be written, so no file would be"
                               : "the catalogue could not be written, so no file was");
            return kExitIncomplete;
        }
        if (stopsHere(&files)) {
            return interruptStatus();
        }
        const Status commit = files.commit();
        const bool committed = commit.ok();
        noteEachLine(commit.reason());
        if (!committed) {
            summarise(preview_ ? "the files could not be put in place (see above)"
                               : "the files were not all put in place (see above)");
        } else {
            reportPreview();
            if (unsaved_ > 0) {
                summarise(preview_ ? "the catalogue would be written"
                                   : "the catalogue was written");
            }
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
    // A reason that tells of several failures, one line each.
    void noteEachLine(const std::string& reason) {
        for (std::size_t start = 0; start < reason.size();) {
            const std::size_t end = std::min(reason.find('\n', start), reason.size());
            note(reason.substr(start, end - start));
            start = end + 1;
        }
    }

    // The last line of a run that left something unsaved: how many packages,
    // and what became of the rest (outcome).
    void summarise(const std::string& outcome) {
        std::string line;
        if (unsaved_ > 0) {
            const std::size_t total = catalog_.body.packages.count();
            line = std::to_string(unsaved_) + " of " + counted(total, "package ", "packages ") +
                   (preview_        ? "would not be"
                    : unsaved_ == 1 ? "was not"
                                    : "were not") +
                   " saved (see above); ";
        }
        note(line + outcome);
    }

    // What a run that writes would have written, file by file.
    void reportPreview() {
        if (preview_ == nullptr) {
            return;
        }
        std::size_t changed = 0;
        for (const PreviewedFile& file : preview_->files()) {
            changed += file.changed ? 1 : 0;
            note("dry run: " + file.target +
                 (file.changed ? " would change" + (file.detail.empty() ? "" : ": " + file.detail)
                               : " would be written back unchanged"));
        }
        note("dry run: " + std::to_string(changed) + " of " +
             counted(preview_->files().size(), "file", "files") +
             " would change; nothing was written");
    }

    // Loads, changes and saves one package; false when its file was left as it
    // was. Its messages go out on the worker, in their order, while this thread
    // goes on: the next package's file is read, and handed to the worker to be
    // made into entries, before this one's entries change; what the worker has
    // not begun by the time the next package is loaded is made here.
    bool updatePackage(Package& package, Package* next, const UpdateOptions& options,
                       const InstallDirectories& directories, FileTransaction& files,
                       BackgroundWorker& worker, PackageReadAhead& ahead) {
        worker.post([this, line = "\tLoading " + package.name] { say(out_, line); });
        const Status loaded = ahead.load(package, files, directories);
        if (next != nullptr) {
            ahead.start(*next, files, directories);
        }
        if (!loaded) {
            // Saving what little was read would destroy the file: leave it as it is.
            noteAfterMessages(worker, "package " + package.name + ": " + loaded.reason() +
                                          "; its book data file is left unchanged");
            abbreviatePackagePaths(package, directories);
            return false;
        }
        EntryChangeCount count;
        WorkerOutput messages(worker, out_);
        std::ostream messageStream(&messages);
        DirectoryChanges changes =
            applyEntryOptions(package, options, directories, cdDrive_, messageStream, &count);
        abbreviatePackagePaths(package, directories);
        if (preview_ != nullptr) {
            preview_->describeNext(
                counted(count.records, "record", "records") + ", " +
                counted(count.flags, "flag", "flags") + " and " +
                counted(changes.size(), "renumbered directory", "renumbered directories"));
        }
        messages.handOn();
        worker.post([this] { say(out_, "\tSaving"); });
        // A dry run shows its differences on standard error as the file is
        // written: the package's messages are out before them, as they were.
        if (preview_ != nullptr) {
            worker.finish();
        }
        const Status saved = package.save(files, directories);
        ahead.forgetReadsOf(package.bookData.openedPath);
        if (!saved) {
            // The file keeps its old identifiers, so the catalogue must too.
            undoDirectoryChanges(changes);
            noteAfterMessages(worker, "package " + package.name + ": " + saved.reason() +
                                          "; its book data file is left unchanged and its "
                                          "directories keep their identifiers");
            return false;
        }
        return true;
    }

    // A note on standard error after the messages handed to the worker, as it
    // would come without one.
    void noteAfterMessages(BackgroundWorker& worker, const std::string& text) {
        worker.finish();
        note(text);
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
    PreviewFiles* const preview_;
    // Packages whose book data file was left as it was.
    std::size_t unsaved_ = 0;
    LibraryCatalog catalog_;
    const std::string recordPath_;
    // Looked for once: the settings fall back to it and renumbering needs it.
    const std::string cdDrive_;
};

} // namespace

int runUpdate(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              Platform& platform) {
    // Before anything else: asking for help reads and writes nothing.
    if (answerHelpRequest(arguments, out)) {
        return kExitOk;
    }
    const UpdateOptions options = parseUpdateOptions(
        arguments.size() > 1 ? std::vector<std::string>(arguments.begin() + 1, arguments.end())
                             : std::vector<std::string>());
    // A dry run reads through a platform that writes nothing, from the registry on.
    std::unique_ptr<PreviewFiles> preview;
    if (options.dryRun) {
        PreviewFiles::ChangeViewer viewer;
        if (options.showDiff) {
            viewer = [&err](const std::string& target, const std::string& before,
                            const std::string& after) {
                err << unifiedDiff(target, before, after) << std::flush;
            };
        }
        preview = std::make_unique<PreviewFiles>(platform, commitRecordName(), viewer);
    }
    Platform& host = preview ? *preview : platform;
    // The resource library is opened before the run and kept to its end.
    const Expected<std::unique_ptr<ResourceLibrary>> resources =
        host.installation().openResourceLibrary("KIVRes");
    UpdateRun run(out, err, host, preview.get());
    announceOptions(options, out);
    const std::string programPath = arguments.empty() ? std::string() : arguments[0];
    if (!run.readSettings(programPath, resources)) {
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
    if (preview) {
        const ExitStatus status = run.updatePackages(options, *preview);
        return run.writeAndCommit(*preview, status);
    }
    // The book data files and the catalogue refer to each other (directory
    // identifiers): none is replaced until all are written.
    StagedFiles files(platform, run.recordPath());
    const ExitStatus status = run.updatePackages(options, files);
    return run.writeAndCommit(files, status);
}

} // namespace quillora
