#include "commit/LibraryRecovery.h"

#include "commit/CommitProtocol.h"
#include "commit/CommitRecord.h"

#include <algorithm>

namespace quillora {

namespace {

// Every folder the record names must be the one the run wrote in: a folder
// put at its name since is someone else's. One that is gone holds nothing.
Status sameFolders(FileSystem& disk, const CommitRecord& record) {
    for (const RecordedFolder& folder : record.folders) {
        Expected<std::string> identity = disk.folderIdentity(folder.path);
        if (!identity) {
            return identity.status();
        }
        if (!identity->empty() && *identity != folder.identity) {
            return Status::failed(
                (folder.path.empty() ? std::string(".") : folder.path) +
                " is not the folder the interrupted run wrote in: it was moved or replaced");
        }
    }
    return Status();
}

// A put line is only acted on when it names a staged file of its own run
// beside its target, in a folder the record names.
bool isOwnPut(const FileSystem& disk, const CommitRecord& record, const StagedEntry& entry) {
    const std::string folder = disk.folderOf(entry.target);
    return isStagedNameOf(entry.staged, entry.target, record.token) &&
           std::any_of(record.folders.begin(), record.folders.end(),
                       [&folder](const RecordedFolder& named) { return named.path == folder; });
}

// Puts in place each staged file that is not there yet. A rename is whole or
// not at all, so a staged file that is gone is in place: its target has its
// identity.
Status finishCommit(FileSystem& disk, const CommitRecord& record, std::vector<std::string>& notes) {
    for (const StagedEntry& entry : record.entries) {
        if (!isOwnPut(disk, record, entry)) {
            return Status::failed("the commit record puts " + entry.staged + " in place of " +
                                  entry.target + ", which is not a file of its run");
        }
    }
    for (const StagedEntry& entry : record.entries) {
        PathInfo staged = disk.examine(entry.staged);
        if (staged.kind == PathKind::Missing) {
            PathInfo target = disk.examine(entry.target);
            if (target.kind == PathKind::File && target.identity == entry.identity) {
                continue;
            }
            return Status::failed(entry.staged + ", the new content of " + entry.target +
                                  " that an interrupted run committed, has gone");
        }
        Status put = putInPlace(disk, entry, staged,
                                entry.staged + " is not the file the interrupted run wrote");
        if (!put) {
            return put;
        }
        notes.push_back("finished an interrupted run: " + entry.target + " put in place");
    }
    return Status();
}

// Removes the staged files of the record's run that are still there: those
// of a run that did not commit, and any a committed run superseded.
Status removeLeftovers(FileSystem& disk, const CommitRecord& record,
                       std::vector<std::string>& notes) {
    if (record.token.empty()) {
        return Status(); // cut short before any file was staged
    }
    const std::string mark = stagedNameMark(record.token);
    for (const RecordedFolder& recorded : record.folders) {
        const std::string& folder = recorded.path;
        Expected<std::vector<std::string>> names = disk.listFolder(folder);
        if (!names) {
            return names.status();
        }
        bool removed = false;
        for (const std::string& name : *names) {
            std::size_t at = name.find(mark);
            if (at == std::string::npos || at == 0 ||
                name.size() != at + mark.size() + kStagedNameDigits) {
                continue;
            }
            const std::string path = folder + name;
            // Only a file the run made: a link or anything else with such a
            // name is someone else's.
            if (disk.examine(path).kind != PathKind::File) {
                continue;
            }
            Status gone = disk.removeFile(path);
            if (!gone) {
                return gone;
            }
            notes.push_back("removed " + path + ", left by a run that did not finish");
            removed = true;
        }
        Status synced = removed ? disk.syncFolder(folder) : Status();
        if (!synced) {
            return synced;
        }
    }
    return Status();
}

Status recover(FileSystem& disk, const std::string& recordPath, std::vector<std::string>& notes) {
    PathInfo info = disk.examine(recordPath);
    if (info.kind == PathKind::Missing) {
        return Status();
    }
    if (info.kind != PathKind::File) {
        return Status::failed(recordPath +
                              " is not a commit record this tool made (a link or not a file); "
                              "move it away");
    }
    Expected<std::string> bytes = disk.readOwnFile(recordPath);
    if (!bytes) {
        return bytes.status();
    }
    const CommitRecord record = parseCommitRecord(*bytes);
    if (record.foreign) {
        return Status::failed(recordPath + " is not a commit record this tool made; move it away");
    }
    Status done = sameFolders(disk, record);
    if (done && record.complete) {
        done = finishCommit(disk, record, notes);
    }
    done = done ? removeLeftovers(disk, record, notes) : done;
    done = done ? disk.removeFile(recordPath) : done;
    done = done ? disk.syncFolder(disk.folderOf(recordPath)) : done;
    if (done) {
        notes.push_back(std::string(record.complete ? "finished" : "undid") +
                        " an interrupted run: removed its commit record " + recordPath);
    }
    return done;
}

} // namespace

Recovery recoverLibrary(FileSystem& disk, const std::string& recordPath) {
    Recovery recovery;
    recovery.status = recover(disk, recordPath, recovery.notes);
    return recovery;
}

} // namespace quillora
