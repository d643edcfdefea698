// Holds back every file replacement of a run until the run has written all
// its files, then puts them in place together under a commit record, so that
// the catalogue and the book data files it refers to change together even
// when the process or the machine dies on the way: the next run finishes a
// committed run and undoes one that did not commit (LibraryRecovery).
#pragma once

#include "common/CommitRecord.h"
#include "platform/Platform.h"

#include <map>
#include <string>
#include <vector>

namespace quillora {

class StagedFiles : public Platform {
public:
    // recordPath: the library's commit record, beside its catalogue.
    StagedFiles(Platform& inner, std::string recordPath);
    // Whatever was not committed is discarded.
    ~StagedFiles() override { discard(); }
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    // Waits for every staged file to be on the disk, completes the record (the
    // commit), then puts each file in place in the order they were written and
    // removes the record, holding interrupts back all the while. A failure
    // before the commit changes nothing; one after it leaves the record for
    // the next run to finish. Each failure is added to errors; false when
    // there was one.
    bool commit(std::vector<std::string>& errors);
    // Removes every staged file and the record; the targets keep their old
    // content.
    void discard();
    std::size_t waitingCount() const { return order_.size(); }

    // A file waiting to replace its target is read in the target's place.
    bool readFile(const std::string& name, FileBytes& out, std::string& error) override;
    // Writes the new content beside the target, under a new name of its own,
    // and keeps it waiting.
    bool replaceFileWith(const std::string& resolvedPath, const NewContent& content,
                         std::string& error) override;

    // Everything else goes straight to the platform.
    bool hasFile(const std::string& name) override { return inner_.hasFile(name); }
    Interrupts& interrupts() override { return inner_.interrupts(); }
    FileSystem& fileSystem() override { return disk_; }
    std::string fullPath(const std::string& path) override { return inner_.fullPath(path); }
    void splitPath(const std::string& path, std::string& drive, std::string& dir) override {
        inner_.splitPath(path, drive, dir);
    }
    Installation& installation() override { return inner_.installation(); }

private:
    // Starts the record (first staged file) and names each new folder in it,
    // on the disk before any staged file is made there, so that the next run
    // finds every file this one may leave.
    bool recordFolder(const std::string& folder, std::string& error);
    bool appendToRecord(const std::string& text, std::string& error);
    // Removes every staged file, superseded ones too; false when one may be
    // left.
    bool removeStaged(std::string& error);
    // Every staged file on the disk, every target replaceable, every staging
    // folder's entries on the disk: what must hold before the commit.
    bool readyToCommit(std::string& error);
    // Renames each staged file over its target, in order, each on the disk
    // before the next.
    bool putInPlace(const std::vector<StagedEntry>& entries, std::string& error);
    // Drops the run's state without touching the disk.
    void forget();

    Platform& inner_;
    FileSystem& disk_;
    const std::string recordPath_;
    std::string token_;
    std::string recordText_;           // what the record holds so far; empty before it is made
    std::vector<std::string> folders_; // named in the record
    std::map<std::string, StagedEntry> waiting_; // by target
    std::vector<std::string> superseded_;        // staged, then staged again
    std::vector<std::string> order_;             // targets, first written first
};

} // namespace quillora
