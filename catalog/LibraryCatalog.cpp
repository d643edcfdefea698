#include "catalog/LibraryCatalog.h"

#include "product/PathMacro.h"

namespace quillora {

LibraryCatalog::LibraryCatalog()
    : registryKeyPath(expandCompanyMacro(
          expandProgramMacro(std::string("Software\\") + token::Company + "\\" + token::Program))),
      catalogFileName(std::string(token::Program) + ".ini") {}

} // namespace quillora
