#include "catalog/Package.h"

#include "catalog/LibraryCatalog.h"
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

ResultCode Package::load(Platform& platform) {
    return bookData.load(platform, resolveDataFilePath(dataFileLocation));
}

ResultCode Package::save(Platform& platform) {
    modified = false;
    return bookData.save(platform, resolveDataFilePath(dataFileLocation));
}

std::string Package::resolveDataFilePath(const std::string& location) const {
    const LibraryCatalog* catalog = currentCatalog();
    if (catalog == nullptr) {
        return location;
    }
    std::string path = replaceFirst(location, token::Cd, catalog->cdDirectory);
    path = replaceFirst(path, token::Home, catalog->homeDirectory);
    return replaceFirst(path, token::Local, catalog->localDirectory);
}

} // namespace quillora
