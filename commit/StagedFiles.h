// Holds back every file replacement of a run until the run has written all
// its files, then puts them in place together under a commit record, so that
// the catalogue and the book data files it refers to change together even
// when the process or the machine dies on the way: the next run finishes a
// committed run and undoes one that did not commit (LibraryRecovery).
#pragma once

#include "commit/CommitRecord.h"
#include "platform/FileTransaction.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillora {

class StagedFiles : public FileTransaction {
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
    // the next run to finish.
    Status commit() override;
    // Removes every staged file and the record; the targets keep their old
    // content.
    void discard() override;
    std::size_t waitingCount() const { return order_.size(); }

    // A file waiting to replace its target is read in the target's place.
    Expected<FileBytes> readFile(const std::string& name) override;
    // Writes the new content beside the target, under a new name of its own,
    // and keeps it waiting.
    Status stage(const ResolvedPath& resolved, const NewContent& content) override;

private:
    // Starts the record (first staged file) and names each new folder in it,
    // on the disk before any staged file is made there, so that the next run
    // finds every file this one may leave.
    Status recordFolder(const std::string& folder);
    Status appendToRecord(const std::string& text);
    // Removes every staged file, superseded ones too; fails when one may be
    // left.
    Status removeStaged();
    // Every staged file on the disk, every target replaceable, every staging
    // folder's entries on the disk: what must hold before the commit.
    Status readyToCommit();
    // Renames each staged file over its target, in order, then flushes each
    // folder they are in, once.
    Status putInPlace(const std::vector<StagedEntry>& entries);
    // Drops the run's state without touching the disk.
    void forget();

    FileSystem& disk_;
    const std::string recordPath_;
    std::string token_;
    // Open from its making to the run's end, so that every line goes into the
    // file this run made; null before it is made.
    std::unique_ptr<OpenFile> record_;
    std::string recordText_; // what the record holds so far
    // Set once an append fails: what followed would not read back as the
    // record, so nothing more goes in and nothing is committed.
    bool recordBroken_ = false;
    std::vector<std::string> folders_;           // named in the record
    std::map<std::string, StagedEntry> waiting_; // by target
    std::vector<std::string> superseded_;        // staged, then staged again
    std::vector<std::string> order_;             // targets, first written first
};

} // namespace quillora
