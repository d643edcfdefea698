#include "platform/StagedFiles.h"

#include <algorithm>

namespace quillora {

StagedFiles::StagedFiles(Platform& inner, std::string recordPath)
    : inner_(inner), disk_(inner.fileSystem()), recordPath_(std::move(recordPath)) {}

bool StagedFiles::readFile(const std::string& name, FileBytes& out, std::string& error) {
    if (!inner_.readFile(name, out, error)) {
        return false;
    }
    auto it = waiting_.find(out.resolvedPath);
    if (it == waiting_.end()) {
        return true;
    }
    FileBytes staged;
    if (!inner_.readFile(it->second.staged, staged, error)) {
        return false;
    }
    out.bytes = std::move(staged.bytes);
    return true;
}

bool StagedFiles::appendToRecord(const std::string& text, std::string& error) {
    if (!disk_.appendFile(recordPath_, text, error) || !disk_.syncFile(recordPath_, error)) {
        return false;
    }
    recordText_ += text;
    return true;
}

bool StagedFiles::recordFolder(const std::string& folder, std::string& error) {
    if (std::find(folders_.begin(), folders_.end(), folder) != folders_.end()) {
        return true;
    }
    if (recordText_.empty()) {
        token_ = disk_.randomHex();
        const std::string start = commitRecordStart(token_);
        std::string identity;
        CreateStatus status =
            disk_.createFileWith(recordPath_, wholeContent(start), "", identity, error);
        if (status == CreateStatus::Exists) {
            error = recordPath_ + " appeared during the run: it is not this tool's";
        }
        if (status != CreateStatus::Created) {
            return false;
        }
        recordText_ = start;
        if (!disk_.syncFile(recordPath_, error) ||
            !disk_.syncFolder(disk_.folderOf(recordPath_), error)) {
            return false;
        }
    }
    if (!appendToRecord(commitRecordFolder(folder), error)) {
        return false;
    }
    folders_.push_back(folder);
    return true;
}

bool StagedFiles::replaceFileWith(const std::string& resolvedPath, const NewContent& content,
                                  std::string& error) {
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
    if (recordText_.empty()) {
        return;
    }
    std::string error;
    // The record goes last, and only once the staged files are gone for good:
    // it is what lets the next run find any that are left.
    if (removeStaged(error)) {
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
        PathInfo staged = disk_.examine(entry.staged);
        if (staged.kind != PathKind::File || staged.identity != entry.identity) {
            error = "cannot put " + entry.target + " in place: " + entry.staged +
                    " is not the file this run wrote";
            return false;
        }
        if (!disk_.renameFile(entry.staged, entry.target, error) ||
            !disk_.syncFolder(disk_.folderOf(entry.target), error)) {
            return false;
        }
    }
    return true;
}

bool StagedFiles::commit(std::vector<std::string>& errors) {
    if (recordText_.empty()) {
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
