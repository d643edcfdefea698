#include "support/FaultyFileSystem.h"

#include "platform/SystemFailureText.h"

namespace quillora::testing {

namespace {

class FaultyOpenFile : public OpenFile {
public:
    FaultyOpenFile(const FaultyFileSystem& files, std::unique_ptr<OpenFile> inner, std::string path)
        : files_(files), inner_(std::move(inner)), path_(std::move(path)) {}
    bool append(const std::string& bytes, std::string& error) override {
        return files_.admits(FileOperation::Append, "cannot write", path_, error) &&
               inner_->append(bytes, error);
    }
    bool sync(std::string& error) override {
        return files_.admits(FileOperation::Sync, "cannot flush", path_, error) &&
               inner_->sync(error);
    }

private:
    const FaultyFileSystem& files_;
    std::unique_ptr<OpenFile> inner_;
    const std::string path_;
};

} // namespace

bool FaultyFileSystem::admits(FileOperation operation, const char* what, const std::string& path,
                              std::string& error) const {
    const int failure = fault(operation);
    if (failure != 0) {
        error = systemFailureText(what, path, failure);
    }
    return failure == 0;
}

CreateStatus FaultyFileSystem::createFileWith(const std::string& path, const NewContent& content,
                                              const std::string& replacing, std::string& identity,
                                              std::string& error) {
    if (!admits(FileOperation::Open, "cannot create", path, error)) {
        return CreateStatus::Failed;
    }
    int writeFailure = 0;
    const NewContent shortened = [&](const PieceWriter& write) {
        writeFailure = fault(FileOperation::Write);
        if (writeFailure == 0) {
            return content(write);
        }
        content([&write](std::string_view piece) {
            write(piece.substr(0, piece.size() / 2));
            return false;
        });
        return false;
    };
    const CreateStatus status = inner_.createFileWith(path, shortened, replacing, identity, error);
    if (writeFailure != 0) {
        error = systemFailureText("cannot write", path, writeFailure);
        return CreateStatus::Failed;
    }
    if (status == CreateStatus::Created &&
        !admits(FileOperation::Flush, "cannot flush", path, error)) {
        std::string ignored;
        inner_.removeFile(path, ignored);
        return CreateStatus::Failed;
    }
    return status;
}

std::unique_ptr<OpenFile> FaultyFileSystem::createOpenFile(const std::string& path,
                                                           CreateStatus& status,
                                                           std::string& error) {
    status = CreateStatus::Failed;
    if (!admits(FileOperation::Open, "cannot create", path, error)) {
        return nullptr;
    }
    std::unique_ptr<OpenFile> file = inner_.createOpenFile(path, status, error);
    return file == nullptr ? nullptr
                           : std::make_unique<FaultyOpenFile>(*this, std::move(file), path);
}

bool FaultyFileSystem::syncFile(const std::string& path, std::string& error) {
    return admits(FileOperation::Sync, "cannot flush", path, error) && inner_.syncFile(path, error);
}

bool FaultyFileSystem::syncFolder(const std::string& folder, std::string& error) {
    return admits(FileOperation::SyncFolder, "cannot flush the folder",
                  folder.empty() ? "." : folder, error) &&
           inner_.syncFolder(folder, error);
}

bool FaultyFileSystem::renameFile(const std::string& from, const std::string& to,
                                  std::string& error) {
    return admits(FileOperation::Rename, "cannot replace", to, error) &&
           inner_.renameFile(from, to, error);
}

bool FaultyFileSystem::removeFile(const std::string& path, std::string& error) {
    return admits(FileOperation::Remove, "cannot remove", path, error) &&
           inner_.removeFile(path, error);
}

bool FaultyFileSystem::readWhole(const std::string& path, std::string& bytes, std::string& error) {
    return admits(FileOperation::Read, "cannot open", path, error) &&
           inner_.readWhole(path, bytes, error);
}

std::unique_ptr<LibraryLock> FaultyFileSystem::lockLibrary(const std::string& path,
                                                           const std::function<void()>& waiting,
                                                           std::string& error) {
    return admits(FileOperation::Lock, "cannot open the lock file", path, error)
               ? inner_.lockLibrary(path, waiting, error)
               : nullptr;
}

std::unique_ptr<LibraryLock>
FaultyFileSystem::shareLibraryLock(const std::string& path, const std::function<void()>& waiting,
                                   std::string& error) {
    return admits(FileOperation::Lock, "cannot open the lock file", path, error)
               ? inner_.shareLibraryLock(path, waiting, error)
               : nullptr;
}

} // namespace quillora::testing
