#include "catalog/Package.h"

#include "product/PathMacro.h"

namespace quillora {

Package::~Package() {
    items.removeAll();
}

void Package::setName(const std::string& text) {
    name = text;
    modified = true;
}

void Package::setQualifier(const std::string& text) {
    qualifier = text;
    modified = true;
}

void Package::setDataFileLocation(const std::string& location) {
    dataFileLocation = location;
    modified = true;
}

void Package::setSecondPath(const std::string& text) {
    secondPath = text;
    modified = true;
}

PackageItem* Package::findItem(std::int32_t itemId) const {
    for (PackageItem* item : items) {
        if (item->id == itemId) {
            return item;
        }
    }
    return nullptr;
}

std::int32_t Package::allocateDirectoryId() {
    ++highItemId;
    modified = true;
    return highItemId;
}

Status Package::load(Platform& platform, const InstallDirectories& directories) {
    return bookData.load(platform, dataFilePath(directories));
}

std::string Package::dataFilePath(const InstallDirectories& directories) const {
    return expandDirectoryMacros(dataFileLocation, directories);
}

Status Package::save(FileStage& stage, const InstallDirectories& directories) {
    modified = false;
    return bookData.save(stage, dataFilePath(directories));
}

} // namespace quillora
