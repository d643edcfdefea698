#include "commit/CommitProtocol.h"

namespace quillora {

Status putInPlace(FileSystem& disk, const StagedEntry& entry, const PathInfo& staged,
                  const std::string& notWritten) {
    // Another name for it would keep whatever is written there since.
    if (staged.kind != PathKind::File || staged.identity != entry.identity || staged.links != 1) {
        return Status::failed(notWritten);
    }
    Status renamed = disk.renameFile(entry.staged, entry.target);
    return renamed ? disk.syncFolder(disk.folderOf(entry.target)) : renamed;
}

} // namespace quillora
