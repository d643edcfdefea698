#include "commit/LibraryRecovery.h"

#include "commit/CommitProtocol.h"
#include "commit/CommitRecord.h"

#include <algorithm>

namespace quillora {

namespace {

// Every folder the record names must be the one the run wrote in: a folder
// put at its name since is someone else's. One that is gone holds nothing.
bool sameFolders(FileSystem& disk, const CommitRecord& record, std::string& error) {
    for (const RecordedFolder& folder : record.folders) {
        std::string identity;
        if (!disk.folderIdentity(folder.path, identity, error)) {
            return false;
        }
        if (!identity.empty() && identity != folder.identity) {
            error = (folder.path.empty() ? std::string(".") : folder.path) +
                    " is not the folder the interrupted run wrote in: it was moved or replaced";
            return false;
        }
    }
    return true;
}

// A put line is only acted on when it names a staged file of its own run
// beside its target, in a folder the record names.
bool isOwnPut(const FileSystem& disk, const CommitRecord& record, const StagedEntry& entry) {
    const std::string folder = disk.folderOf(entry.target);
    return isStagedNameOf(entry.staged, entry.target, record.token) &&
           std::any_of(record.folders.begin(), record.folders.end(),
                       [&folder](const RecordedFolder& named) { return named.path == folder; });
}

// Puts in place each staged file that is not there yet. The files went in
// place in the record's order, each on the disk before the next, so a staged
// file that is gone is in place: its target has its identity.
bool finishCommit(FileSystem& disk, const CommitRecord& record, std::vector<std::string>& notes,
                  std::string& error) {
    for (const StagedEntry& entry : record.entries) {
        if (!isOwnPut(disk, record, entry)) {
            error = "the commit record puts " + entry.staged + " in place of " + entry.target +
                    ", which is not a file of its run";
            return false;
        }
    }
    for (const StagedEntry& entry : record.entries) {
        PathInfo staged = disk.examine(entry.staged);
        if (staged.kind == PathKind::Missing) {
            PathInfo target = disk.examine(entry.target);
            if (target.kind == PathKind::File && target.identity == entry.identity) {
                continue;
            }
            error = entry.staged + ", the new content of " + entry.target +
                    " that an interrupted run committed, has gone";
            return false;
        }
        const PutResult put = putInPlace(disk, entry, staged, error);
        if (put == PutResult::NotWritten) {
            error = entry.staged + " is not the file the interrupted run wrote";
        }
        if (put != PutResult::Done) {
            return false;
        }
        notes.push_back("finished an interrupted run: " + entry.target + " put in place");
    }
    return true;
}

// Removes the staged files of the record's run that are still there: those
// of a run that did not commit, and any a committed run superseded.
bool removeLeftovers(FileSystem& disk, const CommitRecord& record, std::vector<std::string>& notes,
                     std::string& error) {
    if (record.token.empty()) {
        return true; // cut short before any file was staged
    }
    const std::string mark = stagedNameMark(record.token);
    for (const RecordedFolder& recorded : record.folders) {
        const std::string& folder = recorded.path;
        std::vector<std::string> names;
        if (!disk.listFolder(folder, names, error)) {
            return false;
        }
        bool removed = false;
        for (const std::string& name : names) {
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
            if (!disk.removeFile(path, error)) {
                return false;
            }
            notes.push_back("removed " + path + ", left by a run that did not finish");
            removed = true;
        }
        if (removed && !disk.syncFolder(folder, error)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool recoverLibrary(FileSystem& disk, const std::string& recordPath,
                    std::vector<std::string>& notes, std::string& error) {
    PathInfo info = disk.examine(recordPath);
    if (info.kind == PathKind::Missing) {
        return true;
    }
    if (info.kind != PathKind::File) {
        error = recordPath + " is not a commit record this tool made (a link or not a file); "
                             "move it away";
        return false;
    }
    std::string bytes;
    if (!disk.readOwnFile(recordPath, bytes, error)) {
        return false;
    }
    const CommitRecord record = parseCommitRecord(bytes);
    if (record.foreign) {
        error = recordPath + " is not a commit record this tool made; move it away";
        return false;
    }
    if (!sameFolders(disk, record, error) ||
        (record.complete && !finishCommit(disk, record, notes, error))) {
        return false;
    }
    if (!removeLeftovers(disk, record, notes, error) || !disk.removeFile(recordPath, error) ||
        !disk.syncFolder(disk.folderOf(recordPath), error)) {
        return false;
    }
    notes.push_back(std::string(record.complete ? "finished" : "undid") +
                    " an interrupted run: removed its commit record " + recordPath);
    return true;
}

} // namespace quillora
