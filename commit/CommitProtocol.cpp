#include "commit/CommitProtocol.h"

namespace quillora {

PutResult putInPlace(FileSystem& disk, const StagedEntry& entry, const PathInfo& staged,
                     std::string& error) {
    // Another name for it would keep whatever is written there since.
    if (staged.kind != PathKind::File || staged.identity != entry.identity || staged.links != 1) {
        return PutResult::NotWritten;
    }
    return disk.renameFile(entry.staged, entry.target, error) &&
                   disk.syncFolder(disk.folderOf(entry.target), error)
               ? PutResult::Done
               : PutResult::Failed;
}

} // namespace quillora
