// One package section of the catalogue, and its book data file while that is
// loaded.
#pragma once

#include "bookdata/BookDataFile.h"
#include "bookdata/RefList.h"
#include "catalog/PackageItem.h"
#include "status/Status.h"

#include <cstdint>
#include <string>

namespace quillora {

class FileStage;
class Platform;
struct InstallDirectories;

class Package {
public:
    Package() = default;
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // Each setter marks the package modified.
    void setName(const std::string& text);
    void setQualifier(const std::string& text);
    void setDataFileLocation(const std::string& location);
    void setSecondPath(const std::string& text);
    PackageItem* findItem(std::int32_t itemId) const;
    bool hasItem(std::int32_t itemId) const { return findItem(itemId) != nullptr; }
    std::int32_t allocateDirectoryId();

    // Loads and saves the book data file that dataFileLocation names, its
    // macros expanded with directories.
    Status load(Platform& platform, const InstallDirectories& directories);
    // Where that file is: dataFileLocation with its macros expanded.
    std::string dataFilePath(const InstallDirectories& directories) const;
    Status save(FileStage& stage, const InstallDirectories& directories);

    OwningList<PackageItem> items;
    std::string name = "None";
    std::string secondPath;
    std::string qualifier;
    std::string dataFileLocation;
    std::uint32_t number = 0;
    std::int32_t highItemId = 100;
    bool active = true;
    bool modified = false;

    BookDataFile bookData;
};

} // namespace quillora
