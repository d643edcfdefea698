// Placeholder until the catalogue writer lands.
#include "catalog/CatalogBody.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "catalog/MarkedItem.h"

namespace quillora {

ResultCode LibraryCatalog::writeCatalog(Platform&) { return result::CatalogWriteFailed; }
std::string LibraryCatalog::formatCatalog() const { return std::string(); }
ResultCode CatalogBody::writeBody(TextSink&, std::uint32_t) const {
    return result::CatalogWriteFailed;
}
bool PackageItem::write(TextSink&, std::uint32_t) const { return true; }
bool DirectoryItem::write(TextSink&, std::uint32_t) const { return false; }
bool MarkedItem::write(TextSink&, std::uint32_t) const { return false; }
bool Category::write(TextSink&) const { return false; }

} // namespace quillora
