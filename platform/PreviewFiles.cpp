#include "platform/PreviewFiles.h"

#include <algorithm>

namespace quillora {

namespace {

// The key a real run would create: there, with no values.
class AbsentKey : public OpenKey {
public:
    Expected<std::string> readValue(const std::string&) override {
        return Status::failed(Failure::NotFound, std::string());
    }
    std::string note() const override {
        return "the key is missing: a run that writes would create it, empty";
    }
};

class ReadOnlyInstallation : public Installation {
public:
    explicit ReadOnlyInstallation(Installation& inner) : inner_(inner) {}

    Expected<std::unique_ptr<OpenKey>> openKey(const std::string& path, bool create) override {
        Expected<std::unique_ptr<OpenKey>> key = inner_.openKey(path, false);
        if (!key && create && key.status().failure() == Failure::NotFound) {
            // Where a run would be refused the key, it goes on without it.
            Status mayCreate = inner_.mayCreateKey(path);
            if (!mayCreate) {
                return mayCreate;
            }
            return std::unique_ptr<OpenKey>(std::make_unique<AbsentKey>());
        }
        return key;
    }
    std::string registryLocation() const override { return inner_.registryLocation(); }
    DriveType driveType(const std::string& root) override { return inner_.driveType(root); }
    Expected<std::unique_ptr<ResourceLibrary>>
    openResourceLibrary(const std::string& name) override {
        return inner_.openResourceLibrary(name);
    }

private:
    Installation& inner_;
};

} // namespace

PreviewFiles::PreviewFiles(Platform& inner, std::string recordPath, ChangeViewer viewer)
    : FileTransaction(inner), recordPath_(std::move(recordPath)), viewer_(std::move(viewer)),
      installation_(std::make_unique<ReadOnlyInstallation>(inner.installation())) {}

PreviewFiles::~PreviewFiles() = default;

Expected<FileBytes> PreviewFiles::readFile(const std::string& name) {
    Expected<FileBytes> file = inner_.readFile(name);
    if (file) {
        auto it = changedContent_.find(file->resolvedPath.text());
        if (it != changedContent_.end()) {
            file->bytes = it->second;
        }
    }
    return file;
}

bool PreviewFiles::newContentAgainst(const std::string& old, const NewContent& content,
                                     bool& changed, std::string& bytes) {
    std::size_t at = 0; // bytes compared equal so far
    changed = false;
    bytes.clear();
    const bool made = content([&](std::string_view piece) {
        if (!changed) {
            const std::size_t room = std::min(piece.size(), old.size() - at);
            const std::size_t same = static_cast<std::size_t>(
                std::mismatch(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(room),
                              old.begin() + static_cast<std::ptrdiff_t>(at))
                    .first -
                piece.begin());
            at += same;
            if (same == piece.size()) {
                return true;
            }
            changed = true;
            bytes.assign(old, 0, at);
            piece.remove_prefix(same);
        }
        bytes.append(piece);
        return true;
    });
    if (!changed && at != old.size()) {
        changed = true; // the new content is shorter
        bytes.assign(old, 0, at);
    }
    return made;
}

Status PreviewFiles::stage(const ResolvedPath& resolved, const NewContent& content) {
    const std::string& resolvedPath = resolved.text();
    FileSystem& disk = inner_.fileSystem();
    // A real run makes its commit record with the first file it stages.
    Status allowed = files_.empty() ? disk.mayReplace(recordPath_) : Status();
    allowed = allowed ? disk.mayReplace(resolvedPath) : allowed;
    if (!allowed) {
        return allowed;
    }
    std::string old;
    const bool exists = disk.examine(resolvedPath).kind != PathKind::Missing;
    if (exists) {
        Expected<FileBytes> file = inner_.readFile(resolvedPath);
        if (!file) {
            return file.status();
        }
        old = std::string(file->bytes.view());
    }
    bool changed = false;
    std::string bytes;
    if (!newContentAgainst(old, content, changed, bytes)) {
        return Status::failed("cannot make the new content of " + resolvedPath);
    }
    changed = changed || !exists;
    if (changed) {
        if (viewer_) {
            viewer_(resolvedPath, old, bytes);
        }
        changedContent_[resolvedPath] = std::move(bytes);
    } else {
        changedContent_.erase(resolvedPath);
    }
    auto it = std::find_if(files_.begin(), files_.end(),
                           [&](const PreviewedFile& file) { return file.target == resolvedPath; });
    if (it == files_.end()) {
        it = files_.insert(files_.end(), PreviewedFile{resolvedPath, changed, std::string()});
    }
    it->changed = changed;
    it->detail = std::move(detail_);
    detail_.clear();
    return Status();
}

Status PreviewFiles::commit() {
    for (const PreviewedFile& file : files_) {
        const PathKind kind = inner_.fileSystem().examine(file.target).kind;
        if (kind == PathKind::Folder || kind == PathKind::Other) {
            Status refused = Status::failed("cannot replace " + file.target +
                                            ": it is not a file; nothing was replaced");
            discard();
            return refused;
        }
    }
    return Status();
}

void PreviewFiles::discard() {
    files_.clear();
    changedContent_.clear();
    detail_.clear();
}

} // namespace quillora
