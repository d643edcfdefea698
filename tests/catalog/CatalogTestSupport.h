// Reading catalogue texts through the fake platform, and building packages.
#pragma once

#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "support/FakePlatform.h"

#include <memory>
#include <string>

namespace quillora::testing {

constexpr const char* kCatalogName = "Quillora.ini";

// Reads text as the catalogue file into catalog; the result of readCatalog.
inline Status readCatalogText(LibraryCatalog& catalog, const std::string& text) {
    FakePlatform platform;
    platform.files[kCatalogName] = text;
    catalog.catalogFileName = kCatalogName;
    return catalog.readCatalog(platform);
}

// "Version 9" and an empty key section, then body.
inline std::string v9(const std::string& body) {
    return "Version 9\n[Categories]\n" + body;
}

// Appends a directory item to the package's items.
inline DirectoryItem* addDirectory(Package& package, std::int32_t id, const std::string& path) {
    auto item = std::make_unique<DirectoryItem>();
    item->id = id;
    item->path = path;
    DirectoryItem* added = item.get();
    package.items.append(std::move(item));
    return added;
}

} // namespace quillora::testing
