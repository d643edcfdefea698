#include "commit/StagedFiles.h"

#include "commit/CommitProtocol.h"

#include <algorithm>

namespace quillora {

StagedFiles::StagedFiles(Platform& inner, std::string recordPath)
    : FileTransaction(inner), disk_(inner.fileSystem()), recordPath_(std::move(recordPath)) {}

Expected<FileBytes> StagedFiles::readFile(const std::string& name) {
    Expected<FileBytes> file = inner_.readFile(name);
    if (!file) {
        return file;
    }
    auto it = waiting_.find(file->resolvedPath.text());
    if (it == waiting_.end()) {
        return file;
    }
    Expected<TextBuffer> staged = disk_.readWhole(it->second.staged);
    if (!staged) {
        return staged.status();
    }
    file->bytes = std::move(*staged);
    return file;
}

Status StagedFiles::appendToRecord(const std::string& text) {
    if (recordBroken_) {
        return Status::failed("cannot write " + recordPath_ + ": an earlier write to it failed");
    }
    Status written = record_->append(text);
    written = written ? record_->sync() : written;
    if (!written) {
        recordBroken_ = true;
        return written;
    }
    recordText_ += text;
    return Status();
}

Status StagedFiles::recordFolder(const std::string& folder) {
    if (std::find(folders_.begin(), folders_.end(), folder) != folders_.end()) {
        return Status();
    }
    if (record_ == nullptr) {
        token_ = disk_.randomHex();
        Expected<std::unique_ptr<OpenFile>> made = disk_.createOpenFile(recordPath_);
        if (!made) {
            return made.status().failure() == Failure::NameTaken
                       ? Status::failed(recordPath_ +
                                        " appeared during the run: it is not this tool's")
                       : made.status();
        }
        record_ = std::move(*made);
        Status started = appendToRecord(commitRecordStart(token_));
        started = started ? disk_.syncFolder(disk_.folderOf(recordPath_)) : started;
        if (!started) {
            return started;
        }
    }
    // The folder the run writes in is the one it opened first; recovery works
    // only in that one.
    Expected<std::string> identity = disk_.folderIdentity(folder);
    if (!identity) {
        return identity.status();
    }
    if (identity->empty()) {
        return Status::failed("cannot write in " + folder + ": the folder has gone");
    }
    Status named = appendToRecord(commitRecordFolder(folder, *identity));
    if (named) {
        folders_.push_back(folder);
    }
    return named;
}

Status StagedFiles::stage(const ResolvedPath& resolved, const NewContent& content) {
    const std::string& resolvedPath = resolved.text();
    Status recorded = recordFolder(disk_.folderOf(resolvedPath));
    if (!recorded) {
        return recorded;
    }
    Expected<NewFile> staged = createUnderNewName(disk_, resolvedPath + stagedNameMark(token_),
                                                  kStagedNameDigits, content, resolvedPath);
    if (!staged) {
        return staged.status();
    }
    StagedEntry entry{staged->identity, staged->path, resolvedPath};
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
    return Status();
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

Status StagedFiles::removeStaged() {
    Status removed;
    std::vector<std::string> paths = superseded_;
    for (const std::string& target : order_) {
        paths.push_back(waiting_.at(target).staged);
    }
    for (const std::string& path : paths) {
        Status one = disk_.removeFile(path);
        removed = one ? std::move(removed) : std::move(one);
    }
    superseded_.clear();
    for (const std::string& folder : folders_) {
        if (!removed) {
            break;
        }
        removed = disk_.syncFolder(folder);
    }
    return removed;
}

void StagedFiles::discard() {
    if (record_ == nullptr) {
        return;
    }
    // The record goes last, and only once the staged files are gone for good:
    // it is what lets the next run find any that are left.
    if (removeStaged()) {
        record_.reset(); // closed first: Windows removes no open file
        if (disk_.removeFile(recordPath_)) {
            static_cast<void>(disk_.syncFolder(disk_.folderOf(recordPath_)));
        }
    }
    forget();
}

Status StagedFiles::readyToCommit() {
    for (const std::string& target : order_) {
        Status synced = disk_.syncFile(waiting_.at(target).staged);
        if (!synced) {
            return synced;
        }
        PathKind kind = disk_.examine(target).kind;
        if (kind == PathKind::Folder || kind == PathKind::Other) {
            return Status::failed("cannot replace " + target + ": it is not a file");
        }
    }
    for (const std::string& path : superseded_) {
        Status removed = disk_.removeFile(path);
        if (!removed) {
            return removed;
        }
    }
    superseded_.clear();
    for (const std::string& folder : folders_) {
        Status synced = disk_.syncFolder(folder);
        if (!synced) {
            return synced;
        }
    }
    return Status();
}

Status StagedFiles::putInPlace(const std::vector<StagedEntry>& entries) {
    std::vector<std::string> folders;
    Status put;
    for (const StagedEntry& entry : entries) {
        put = renameInPlace(disk_, entry, disk_.examine(entry.staged),
                            "cannot put " + entry.target + " in place: " + entry.staged +
                                " is not the file this run wrote");
        if (!put) {
            break;
        }
        std::string folder = disk_.folderOf(entry.target);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(std::move(folder));
        }
    }
    // The record stays until every rename is on the disk; until then the
    // next run finds those that are not and makes them again.
    for (const std::string& folder : folders) {
        Status synced = disk_.syncFolder(folder);
        if (put && !synced) {
            put = std::move(synced);
        }
    }
    return put;
}

Status StagedFiles::commit() {
    if (record_ == nullptr) {
        return Status();
    }
    // Once begun, the commit goes to its end: an interrupt waits until the
    // files are in place or the run has given up on them.
    const std::unique_ptr<InterruptHold> held = inner_.interrupts().hold();
    const Status ready = readyToCommit();
    if (!ready) {
        discard();
        return Status::failed(ready.reason() + "; nothing was replaced");
    }
    std::vector<StagedEntry> entries;
    for (const std::string& target : order_) {
        entries.push_back(waiting_.at(target));
    }
    // The moment of the commit: once the record's last line is on the disk,
    // the new files count, whatever happens next.
    Status done = appendToRecord(commitRecordEnd(recordText_, entries));
    const bool committed = done.ok();
    done = committed ? putInPlace(entries) : done;
    if (!done) {
        forget();
        return Status::failed(done.reason() + "; " + recordPath_ + " is kept: the next run " +
                              (committed ? "finishes this one" : "finishes this run or undoes it"));
    }
    record_.reset();
    done = disk_.removeFile(recordPath_);
    done = done ? disk_.syncFolder(disk_.folderOf(recordPath_)) : done;
    forget();
    if (!done) {
        return Status::failed(done.reason() +
                              "; every file is in place, and the next run removes " + recordPath_);
    }
    return Status();
}

} // namespace quillora
