#include "commit/RecoveryPreview.h"

#include "commit/CommitRecord.h"

namespace quillora {

std::string describeRecovery(FileSystem& disk, const std::string& recordPath) {
    const PathInfo info = disk.examine(recordPath);
    if (info.kind == PathKind::Missing) {
        return std::string();
    }
    const std::string stop = "a run that writes would stop: ";
    if (info.kind != PathKind::File) {
        return stop + recordPath + " is a link or not a file";
    }
    Expected<std::string> bytes = disk.readOwnFile(recordPath);
    if (!bytes) {
        return stop + bytes.status().reason();
    }
    const CommitRecord record = parseCommitRecord(*bytes);
    if (record.foreign) {
        return stop + recordPath + " is not a commit record this tool made";
    }
    if (!record.complete) {
        std::string text = recordPath + " holds a run that did not commit; a run that writes "
                                        "would undo it: remove the files it staged";
        for (const RecordedFolder& folder : record.folders) {
            text +=
                " in " + (folder.path.empty() ? std::string("the working folder") : folder.path);
        }
        return text + ", then the record";
    }
    std::string text = recordPath + " holds a run that committed; a run that writes would finish "
                                    "it:";
    for (const StagedEntry& entry : record.entries) {
        const bool staged = disk.examine(entry.staged).kind != PathKind::Missing;
        text +=
            staged ? " put " + entry.target + " in place;" : " (" + entry.target + " is in place);";
    }
    return text + " then remove the record";
}

} // namespace quillora
