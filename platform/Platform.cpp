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
    return readFile(name).ok();
}

Status Platform::replaceFileWith(const ResolvedPath& resolved, const NewContent& content) {
    FileSystem& disk = fileSystem();
    const std::string& resolvedPath = resolved.text();
    Expected<NewFile> staged =
        createUnderNewName(disk, resolvedPath + ".quillora-", 16, content, resolvedPath);
    Status done = staged.status();
    if (staged) {
        done = disk.syncFile(staged->path);
        done = done ? disk.renameFile(staged->path, resolvedPath) : done;
        if (!done) {
            static_cast<void>(disk.removeFile(staged->path));
        } else {
            done = disk.syncFolder(disk.folderOf(resolvedPath));
        }
    }
    return done;
}

} // namespace quillora
