// An in-memory platform for driving whole runs in tests: files, registry,
// drives and resource strings are plain maps the test fills in.
#pragma once

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

class FakePlatform : public Platform {
public:
    FakePlatform();
    // A copy has the same files on a disk of its own, with nothing pending.
    FakePlatform(const FakePlatform& other);
    FakePlatform& operator=(const FakePlatform&) = delete;

    // Files by exact name.
    std::map<std::string, std::string> files;
    std::set<std::string> readOnly;
    // Registry: lower-cased key path under HKEY_LOCAL_MACHINE -> value name -> data.
    std::map<std::string, std::map<std::string, std::string>> registry;
    bool registryDenied = false; // opening with write access fails (status 5)
    // Drive letter ('c'..'z') -> GetDriveTypeA result; absent means no root dir.
    std::map<char, unsigned> drives;
    // Resource strings; hasResources false makes the library fail to open.
    bool hasResources = true;
    std::map<unsigned, std::string> resources;
    // What _fullpath makes of a relative path.
    std::string currentDirectory = "C:\\Work";
    // The files above as a disk: renames counted, power cuts modelled.
    MemoryFileSystem disk{files, readOnly};

    unsigned driveType(const std::string& root) override;
    std::string fullPath(const std::string& path) override;
    void splitPath(const std::string& path, std::string& drive, std::string& dir) override;
    long regOpenKeyEx(RegKey root, const char* subKey, std::uint32_t options,
                      std::uint32_t samDesired, RegKey* result) override;
    long regCreateKeyEx(RegKey root, const char* subKey, std::uint32_t reserved,
                        const char* keyClass, std::uint32_t options, std::uint32_t samDesired,
                        RegKey* result, std::uint32_t* disposition) override;
    long regQueryValueEx(RegKey key, const char* valueName, std::uint32_t* type,
                         unsigned char* data, std::uint32_t* size) override;
    long regCloseKey(RegKey key) override;
    std::unique_ptr<ResourceLibrary> openResourceLibrary(const std::string& name,
                                                         std::string& error) override;
    bool readFile(const std::string& name, FileBytes& out, std::string& error) override;
    FileSystem& fileSystem() override { return disk; }

    // Sets the three directory values the way an installer would.
    void setInstallation(const std::string& home, const std::string& local, const std::string& cd);
    std::map<std::string, std::string>& productKey();
    // Keys opened and not yet closed.
    std::size_t openKeyCount() const { return openKeys_.size(); }

private:
    std::map<RegKey, std::string> openKeys_;
    std::uintptr_t nextHandle_ = 0x1000;
};

// The value names the fake resource library hands out.
constexpr const char* kHomeValueName = "HomeDir";
constexpr const char* kLocalValueName = "LocalDir";
constexpr const char* kCdValueName = "CDDir";

} // namespace quillora::testing
