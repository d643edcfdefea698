// Reading catalogue texts through the fake platform.
#pragma once

#include "catalog/LibraryCatalog.h"
#include "support/FakePlatform.h"

#include <string>

namespace quillora::testing {

constexpr const char* kCatalogName = "Quillora.ini";

// Reads text as the catalogue file into catalog; the result of readCatalog.
inline ResultCode readCatalogText(LibraryCatalog& catalog, const std::string& text) {
    FakePlatform platform;
    platform.files[kCatalogName] = text;
    catalog.catalogFileName = kCatalogName;
    return catalog.readCatalog(platform);
}

// "Version 9" and an empty key section, then body.
inline std::string v9(const std::string& body) {
    return "Version 9\n[Categories]\n" + body;
}

} // namespace quillora::testing
