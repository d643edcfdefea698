// Placeholder until the catalogue reader lands.
#include "catalog/CatalogBody.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "catalog/MarkedItem.h"

namespace quillora {

ResultCode LibraryCatalog::readCatalog(Platform&) {
    diagnostic = catalogFileName + ": reader not built yet";
    return result::NotACatalog;
}
ResultCode CatalogBody::readBody(TextCursor&, std::uint32_t, std::string&) {
    return result::NotACatalog;
}
bool PackageItem::read(TextCursor&, std::uint32_t) { return true; }
bool DirectoryItem::read(TextCursor&, std::uint32_t) { return false; }
bool MarkedItem::read(TextCursor&, std::uint32_t) { return false; }
bool Category::read(TextCursor&, std::uint32_t) { return false; }
std::uint8_t mapOldTypeCode(std::int32_t code) {
    switch (code) {
    case 1:
        return 0x80;
    case 2:
        return 0x20;
    case 3:
        return 0x40;
    default:
        return 0x10;
    }
}

} // namespace quillora
