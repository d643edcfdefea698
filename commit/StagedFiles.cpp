#include "commit/StagedFiles.h"

#include "commit/CommitProtocol.h"

#include <algorithm>

namespace quillora {

StagedFiles::StagedFiles(Platform& inner, std::string recordPath)
    : FileTransaction(inner), disk_(inner.fileSystem()), recordPath_(std::move(recordPath)) {}

bool StagedFiles::readFile(const std::string& name, FileBytes& out, std::string& error) {
    if (!inner_.readFile(name, out, error)) {
        return false;
    }
    auto it = waiting_.find(out.resolvedPath.text());
    return it == waiting_.end() || disk_.readWhole(it->second.staged, out.bytes, error);
}

bool StagedFiles::appendToRecord(const std::string& text, std::string& error) {
    if (recordBroken_) {
        error = "cannot write " + recordPath_ + ": an earlier write to it failed";
        return false;
    }
    if (!record_->append(text, error) || !record_->sync(error)) {
        recordBroken_ = true;
        return false;
    }
    recordText_ += text;
    return true;
}

bool StagedFiles::recordFolder(const std::string& folder, std::string& error) {
    if (std::find(folders_.begin(), folders_.end(), folder) != folders_.end()) {
        return true;
    }
    if (record_ == nullptr) {
        token_ = disk_.randomHex();
        CreateStatus status = CreateStatus::Failed;
        record_ = disk_.createOpenFile(recordPath_, status, error);
        if (status == CreateStatus::Exists) {
            error = recordPath_ + " appeared during the run: it is not this tool's";
        }
        if (status != CreateStatus::Created) {
            return false;
        }
        if (!appendToRecord(commitRecordStart(token_), error) ||
            !disk_.syncFolder(disk_.folderOf(recordPath_), error)) {
            return false;
        }
    }
    // The folder the run writes in is the one it opened first; recovery works
    // only in that one.
    std::string identity;
    if (!disk_.folderIdentity(folder, identity, error)) {
        return false;
    }
    if (identity.empty()) {
        error = "cannot write in " + folder + ": the folder has gone";
        return false;
    }
    if (!appendToRecord(commitRecordFolder(folder, identity), error)) {
        return false;
    }
    folders_.push_back(folder);
    return true;
}

bool StagedFiles::replaceFileWith(const ResolvedPath& resolved, const NewContent& content,
                                  std::string& error) {
    const std::string& resolvedPath = resolved.text();
    if (!recordFolder(disk_.folderOf(resolvedPath), error)) {
        return false;
    }
    StagedEntry entry;
    entry.target = resolvedPath;
    if (createUnderNewName(disk_, resolvedPath + stagedNameMark(token_), kStagedNameDigits, content,
                           resolvedPath, entry.staged, entry.identity,
                           error) != CreateStatus::Created) {
        return false;
    }
    auto it = waiting_.find(resolvedPath);
    if (it == waiting_.end()) {
        waiting_.emplace(resolvedPath, entry);
        order_.push_back(resolvedPath);
    } else {
        // The first content stays whole until the second is written; it goes
        // before the commit.
        superseded_.push_back(it->second.staged);
        it->second = entry;
    }
    return true;
}

void StagedFiles::forget() {
    waiting_.clear();
    order_.clear();
    superseded_.clear();
    folders_.clear();
    recordText_.clear();
    recordBroken_ = false;
    record_.reset();
}

bool StagedFiles::removeStaged(std::string& error) {
    bool ok = true;
    std::vector<std::string> paths = superseded_;
    for (const std::string& target : order_) {
        paths.push_back(waiting_.at(target).staged);
    }
    for (const std::string& path : paths) {
        ok = disk_.removeFile(path, error) && ok;
    }
    superseded_.clear();
    for (const std::string& folder : folders_) {
        ok = ok && disk_.syncFolder(folder, error);
    }
    return ok;
}

void StagedFiles::discard() {
    if (record_ == nullptr) {
        return;
    }
    std::string error;
    // The record goes last, and only once the staged files are gone for good:
    // it is what lets the next run find any that are left.
    if (removeStaged(error)) {
        record_.reset(); // closed first: Windows removes no open file
        if (disk_.removeFile(recordPath_, error)) {
            disk_.syncFolder(disk_.folderOf(recordPath_), error);
        }
    }
    forget();
}

bool StagedFiles::readyToCommit(std::string& error) {
    for (const std::string& target : order_) {
        if (!disk_.syncFile(waiting_.at(target).staged, error)) {
            return false;
        }
        PathKind kind = disk_.examine(target).kind;
        if (kind == PathKind::Folder || kind == PathKind::Other) {
            error = "cannot replace " + target + ": it is not a file";
            return false;
        }
    }
    for (const std::string& path : superseded_) {
        if (!disk_.removeFile(path, error)) {
            return false;
        }
    }
    superseded_.clear();
    for (const std::string& folder : folders_) {
        if (!disk_.syncFolder(folder, error)) {
            return false;
        }
    }
    return true;
}

bool StagedFiles::putInPlace(const std::vector<StagedEntry>& entries, std::string& error) {
    for (const StagedEntry& entry : entries) {
        const PutResult put =
            quillora::putInPlace(disk_, entry, disk_.examine(entry.staged), error);
        if (put == PutResult::NotWritten) {
            error = "cannot put " + entry.target + " in place: " + entry.staged +
                    " is not the file this run wrote";
        }
        if (put != PutResult::Done) {
            return false;
        }
    }
    return true;
}

bool StagedFiles::commit(std::vector<std::string>& errors) {
    if (record_ == nullptr) {
        return true;
    }
    // Once begun, the commit goes to its end: an interrupt waits until the
    // files are in place or the run has given up on them.
    const std::unique_ptr<InterruptHold> held = inner_.interrupts().hold();
    std::string error;
    if (!readyToCommit(error)) {
        errors.push_back(error + "; nothing was replaced");
        discard();
        return false;
    }
    std::vector<StagedEntry> entries;
    for (const std::string& target : order_) {
        entries.push_back(waiting_.at(target));
    }
    // The moment of the commit: once the record's last line is on the disk,
    // the new files count, whatever happens next.
    bool committed = appendToRecord(commitRecordEnd(recordText_, entries), error);
    if (!committed || !putInPlace(entries, error)) {
        errors.push_back(error + "; " + recordPath_ + " is kept: the next run " +
                         (committed ? "finishes this one" : "finishes this run or undoes it"));
        forget();
        return false;
    }
    record_.reset();
    bool ok = disk_.removeFile(recordPath_, error) &&
              disk_.syncFolder(disk_.folderOf(recordPath_), error);
    if (!ok) {
        errors.push_back(error + "; every file is in place, and the next run removes " +
                         recordPath_);
    }
    forget();
    return ok;
}

} // namespace quillora
