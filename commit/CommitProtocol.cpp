#include "commit/CommitProtocol.h"

namespace quillora {

Status renameInPlace(FileSystem& disk, const StagedEntry& entry, const PathInfo& staged,
                     const std::string& notWritten) {
    // Another name for it would keep whatever is written there since.
    if (staged.kind != PathKind::File || staged.identity != entry.identity || staged.links != 1) {
        return Status::failed(notWritten);
    }
    return disk.renameFile(entry.staged, entry.target);
}

Status putInPlace(FileSystem& disk, const StagedEntry& entry, const PathInfo& staged,
                  const std::string& notWritten) {
    Status renamed = renameInPlace(disk, entry, staged, notWritten);
    return renamed ? disk.syncFolder(disk.folderOf(entry.target)) : renamed;
}

} // namespace quillora
