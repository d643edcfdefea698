#include "catalog/LibraryCatalog.h"

#include "product/PathMacro.h"

namespace quillora {

namespace {
LibraryCatalog* publishedCatalog = nullptr;
} // namespace

LibraryCatalog* currentCatalog() {
    return publishedCatalog;
}
void publishCurrentCatalog(LibraryCatalog* catalog) {
    publishedCatalog = catalog;
}

LibraryCatalog::LibraryCatalog()
    : registryKeyPath(expandCompanyMacro(
          expandProgramMacro(std::string("Software\\") + token::Company + "\\" + token::Program))),
      catalogFileName(std::string(token::Program) + ".ini") {}

} // namespace quillora
