// An in-memory platform for driving whole runs in tests: files, registry,
// drives and resource strings are plain maps the test fills in.
#pragma once

#include "platform/FileStage.h"
#include "platform/Platform.h"
#include "support/MemoryFileSystem.h"

#include <map>
#include <set>
#include <string>

namespace quillora::testing {

class FakeResources : public ResourceLibrary {
public:
    explicit FakeResources(std::map<unsigned, std::string> strings)
        : strings_(std::move(strings)) {}
    bool loadString(unsigned id, std::string& text) const override {
        auto it = strings_.find(id);
        if (it == strings_.end()) {
            return false;
        }
        text = it->second;
        return true;
    }

private:
    std::map<unsigned, std::string> strings_;
};

// A save through it replaces the file at once.
class FakePlatform : public Platform, public Installation, public FileStage {
public:
    FakePlatform();
    // A copy has the same files on a disk of its own, with nothing pending.
    FakePlatform(const FakePlatform& other);
    FakePlatform& operator=(const FakePlatform&) = delete;

    // Files by exact name.
    std::map<std::string, std::string> files;
    std::set<std::string> readOnly;
    // Registry: lower-cased key path -> value name -> data as stored (a string
    // value holds its NUL only when written with one).
    std::map<std::string, std::map<std::string, std::string>> registry;
    bool registryDenied = false; // every open is denied
    // Drive letter ('c'..'z') -> type; absent means no root dir.
    std::map<char, DriveType> drives;
    // Resource strings; hasResources false makes the library fail to open.
    bool hasResources = true;
    std::map<unsigned, std::string> resources;
    // What _fullpath makes of a relative path.
    std::string currentDirectory = "C:\\Work";
    // The files above as a disk: renames counted, power cuts modelled.
    MemoryFileSystem disk{files, readOnly};

    std::string fullPath(const std::string& path) override;
    void splitPath(const std::string& path, std::string& drive, std::string& dir) override;
    Installation& installation() override { return *this; }
    Expected<std::unique_ptr<OpenKey>> openKey(const std::string& path, bool create) override;
    DriveType driveType(const std::string& root) override;
    Expected<std::unique_ptr<ResourceLibrary>>
    openResourceLibrary(const std::string& name) override;
    Expected<FileBytes> readFile(const std::string& name) override;
    // Names are kept as given.
    ResolvedPath resolve(const std::string& name) override { return ResolvedPath(name); }
    Status stage(const ResolvedPath& target, const NewContent& content) override {
        return replaceFileWith(target, content);
    }
    FileSystem& fileSystem() override { return disk; }

    // Sets the three directory values the way an installer would (with their NUL).
    void setInstallation(const std::string& home, const std::string& local, const std::string& cd);
    std::map<std::string, std::string>& productKey();
    // Keys opened and not yet closed (a copy starts with none).
    std::size_t openKeyCount() const { return openKeys_; }

private:
    class Key;
    std::size_t openKeys_ = 0;
};

// The value names the fake resource library hands out.
constexpr const char* kHomeValueName = "HomeDir";
constexpr const char* kLocalValueName = "LocalDir";
constexpr const char* kCdValueName = "CDDir";

} // namespace quillora::testing
