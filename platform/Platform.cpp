#include "platform/Platform.h"

namespace quillora {

bool Platform::replaceFile(const std::string& resolvedPath, const std::string& bytes,
                           std::string& error) {
    FileSystem& disk = fileSystem();
    std::string staged;
    std::string identity;
    CreateStatus status = CreateStatus::Exists;
    for (int attempt = 0; attempt < 8 && status == CreateStatus::Exists; ++attempt) {
        staged = resolvedPath + ".quillora-" + disk.randomHex();
        status = disk.createFile(staged, bytes, resolvedPath, identity, error);
    }
    if (status != CreateStatus::Created) {
        if (status == CreateStatus::Exists) {
            error = "cannot write " + resolvedPath + ": every new name tried beside it was taken";
        }
        return false;
    }
    if (!disk.syncFile(staged, error) || !disk.renameFile(staged, resolvedPath, error)) {
        std::string ignored;
        disk.removeFile(staged, ignored);
        return false;
    }
    return disk.syncFolder(disk.folderOf(resolvedPath), error);
}

} // namespace quillora
