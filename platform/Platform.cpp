#include "platform/Platform.h"

namespace quillora {

namespace {

class NoInterrupts : public Interrupts {
public:
    int pendingStatus() const override { return 0; }
    std::unique_ptr<InterruptHold> hold() override { return std::make_unique<InterruptHold>(); }
};

} // namespace

Interrupts& noInterrupts() {
    static NoInterrupts none; // holds nothing that changes
    return none;
}

bool Platform::hasFile(const std::string& name) {
    FileBytes ignored;
    std::string error;
    return readFile(name, ignored, error);
}

bool Platform::replaceFileWith(const std::string& resolvedPath, const NewContent& content,
                               std::string& error) {
    FileSystem& disk = fileSystem();
    std::string staged;
    std::string identity;
    if (createUnderNewName(disk, resolvedPath + ".quillora-", 16, content, resolvedPath, staged,
                           identity, error) != CreateStatus::Created) {
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
