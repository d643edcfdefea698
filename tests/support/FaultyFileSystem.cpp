#include "support/FaultyFileSystem.h"

#include "platform/SystemFailureText.h"

namespace quillora::testing {

namespace {

class FaultyOpenFile : public OpenFile {
public:
    FaultyOpenFile(const FaultyFileSystem& files, std::unique_ptr<OpenFile> inner, std::string path)
        : files_(files), inner_(std::move(inner)), path_(std::move(path)) {}
    Status append(const std::string& bytes) override {
        Status admitted = files_.admits(FileOperation::Append, "cannot write", path_);
        return admitted ? inner_->append(bytes) : admitted;
    }
    Status sync() override {
        Status admitted = files_.admits(FileOperation::Sync, "cannot flush", path_);
        return admitted ? inner_->sync() : admitted;
    }

private:
    const FaultyFileSystem& files_;
    std::unique_ptr<OpenFile> inner_;
    const std::string path_;
};

} // namespace

Status FaultyFileSystem::admits(FileOperation operation, const char* what,
                                const std::string& path) const {
    const int failure = fault(operation);
    return failure == 0 ? Status() : Status::failed(systemFailureText(what, path, failure));
}

Expected<std::string> FaultyFileSystem::createFileWith(const std::string& path,
                                                       const NewContent& content,
                                                       const std::string& replacing) {
    Status admitted = admits(FileOperation::Open, "cannot create", path);
    if (!admitted) {
        return admitted;
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
    Expected<std::string> identity = inner_.createFileWith(path, shortened, replacing);
    if (writeFailure != 0) {
        return Status::failed(systemFailureText("cannot write", path, writeFailure));
    }
    if (identity) {
        admitted = admits(FileOperation::Flush, "cannot flush", path);
        if (!admitted) {
            static_cast<void>(inner_.removeFile(path));
            return admitted;
        }
    }
    return identity;
}

Expected<std::unique_ptr<OpenFile>> FaultyFileSystem::createOpenFile(const std::string& path) {
    Status admitted = admits(FileOperation::Open, "cannot create", path);
    if (!admitted) {
        return admitted;
    }
    Expected<std::unique_ptr<OpenFile>> file = inner_.createOpenFile(path);
    if (!file) {
        return file.status();
    }
    return std::unique_ptr<OpenFile>(
        std::make_unique<FaultyOpenFile>(*this, std::move(*file), path));
}

Status FaultyFileSystem::syncFile(const std::string& path) {
    Status admitted = admits(FileOperation::Sync, "cannot flush", path);
    return admitted ? inner_.syncFile(path) : admitted;
}

Status FaultyFileSystem::syncFolder(const std::string& folder) {
    Status admitted =
        admits(FileOperation::SyncFolder, "cannot flush the folder", folder.empty() ? "." : folder);
    return admitted ? inner_.syncFolder(folder) : admitted;
}

Status FaultyFileSystem::renameFile(const std::string& from, const std::string& to) {
    Status admitted = admits(FileOperation::Rename, "cannot replace", to);
    return admitted ? inner_.renameFile(from, to) : admitted;
}

Status FaultyFileSystem::removeFile(const std::string& path) {
    Status admitted = admits(FileOperation::Remove, "cannot remove", path);
    return admitted ? inner_.removeFile(path) : admitted;
}

namespace {

// What call gives, unless the hook fails operation first.
template <typename T, typename Call>
Expected<T> unlessFailed(const FaultyFileSystem& files, FileOperation operation, const char* what,
                         const std::string& path, Call call) {
    Status admitted = files.admits(operation, what, path);
    if (!admitted) {
        return admitted;
    }
    return call();
}

} // namespace

Expected<TextBuffer> FaultyFileSystem::readWhole(const std::string& path) {
    return unlessFailed<TextBuffer>(*this, FileOperation::Read, "cannot open", path,
                                    [&] { return inner_.readWhole(path); });
}

Expected<std::unique_ptr<LibraryLock>>
FaultyFileSystem::lockLibrary(const std::string& path, const std::function<void()>& waiting) {
    return unlessFailed<std::unique_ptr<LibraryLock>>(
        *this, FileOperation::Lock, "cannot open the lock file", path,
        [&] { return inner_.lockLibrary(path, waiting); });
}

Expected<std::unique_ptr<LibraryLock>>
FaultyFileSystem::shareLibraryLock(const std::string& path, const std::function<void()>& waiting) {
    return unlessFailed<std::unique_ptr<LibraryLock>>(
        *this, FileOperation::Lock, "cannot open the lock file", path,
        [&] { return inner_.shareLibraryLock(path, waiting); });
}

} // namespace quillora::testing
