#include "support/FakePlatform.h"

#include "platform/posix/formats/PathParts.h"
#include "product/PathMacro.h"
#include "registry/InstallationSettings.h"

namespace quillora::testing {

FakePlatform::FakePlatform() {
    resources = {{kHomeValueNameId, kHomeValueName},
                 {kLocalValueNameId, kLocalValueName},
                 {kCdValueNameId, kCdValueName}};
}

FakePlatform::FakePlatform(const FakePlatform& other)
    : Platform(other), Installation(other), files(other.files), readOnly(other.readOnly),
      registry(other.registry), registryDenied(other.registryDenied), drives(other.drives),
      hasResources(other.hasResources), resources(other.resources),
      currentDirectory(other.currentDirectory) {}

DriveType FakePlatform::driveType(const std::string& root) {
    if (root.size() != 3 || root[1] != ':' || root[2] != '\\') {
        return DriveType::NoRootDir;
    }
    auto it = drives.find(root[0]);
    return it == drives.end() ? DriveType::NoRootDir : it->second;
}

std::string FakePlatform::fullPath(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') {
        return path;
    }
    return currentDirectory + "\\" + path;
}

void FakePlatform::splitPath(const std::string& path, std::string& drive, std::string& dir) {
    splitPathParts(path, drive, dir);
}

// Counted while open, so that tests see every key closed.
class FakePlatform::Key : public OpenKey {
public:
    Key(FakePlatform& platform, std::string path) : platform_(platform), path_(std::move(path)) {
        ++platform_.openKeys_;
    }
    ~Key() override { --platform_.openKeys_; }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    Expected<std::string> readValue(const std::string& name) override {
        auto& values = platform_.registry[path_];
        auto it = values.find(name);
        if (it == values.end()) {
            return Status::failed(Failure::NotFound, std::string());
        }
        return it->second;
    }

private:
    FakePlatform& platform_;
    const std::string path_;
};

Expected<std::unique_ptr<OpenKey>> FakePlatform::openKey(const std::string& path, bool create) {
    std::string lower = toLowerAscii(path);
    const Failure failure = !path.empty() && path[0] == '\\'        ? Failure::BadPath
                            : registryDenied                        ? Failure::AccessDenied
                            : !create && registry.count(lower) == 0 ? Failure::NotFound
                                                                    : Failure::None;
    if (failure != Failure::None) {
        return Status::failed(failure, std::string());
    }
    registry[lower];
    return std::unique_ptr<OpenKey>(std::make_unique<Key>(*this, lower));
}

Expected<std::unique_ptr<ResourceLibrary>>
FakePlatform::openResourceLibrary(const std::string& name) {
    if (!hasResources) {
        return Status::failed("no library " + name);
    }
    return std::unique_ptr<ResourceLibrary>(std::make_unique<FakeResources>(resources));
}

Expected<FileBytes> FakePlatform::readFile(const std::string& name) {
    auto it = files.find(name);
    if (it == files.end()) {
        return Status::failed("no such file: " + name);
    }
    return FileBytes{TextBuffer(it->second), resolve(name)};
}

std::map<std::string, std::string>& FakePlatform::productKey() {
    return registry[toLowerAscii("Software\\Tolvane Works\\Quillora")];
}

void FakePlatform::setInstallation(const std::string& home, const std::string& local,
                                   const std::string& cd) {
    auto& values = productKey();
    values[kHomeValueName] = home + '\0';
    values[kLocalValueName] = local + '\0';
    if (!cd.empty()) {
        values[kCdValueName] = cd + '\0';
    }
}

} // namespace quillora::testing
