// The one object of a run: the product settings and the catalogue's contents.
#pragma once

#include "bookdata/RefList.h"
#include "catalog/CatalogBody.h"
#include "catalog/SearchEntry.h"
#include "platform/ResolvedPath.h"
#include "product/PathMacro.h"
#include "status/Status.h"
#include "text/TextFile.h"

#include <cstdint>
#include <string>

namespace quillora {

class FileStage;
class Platform;
class TextCursor;

class LibraryCatalog {
public:
    LibraryCatalog();
    LibraryCatalog(const LibraryCatalog&) = delete;
    LibraryCatalog& operator=(const LibraryCatalog&) = delete;

    // Reads catalogFileName. A failure carries the format's result code and
    // says why as "file:line: reason".
    Status readCatalog(Platform& platform);
    // Replaces the catalogue file with the version-9 form of this model.
    Status writeCatalog(FileStage& stage);
    // The whole file content that writeCatalog stores (LF line ends).
    std::string formatCatalog() const;
    // The lines between the version line and the section line.
    Status readKeyLines(TextCursor& in);

    std::uint32_t formatVersion = 9;
    bool hasWelcome = false;
    std::string welcome;
    bool hasInit = false;
    std::string init;
    bool hasMode = false;
    std::string mode;

    // Installation settings
    InstallDirectories installDirectories() const {
        return {homeDirectory, cdDirectory, localDirectory};
    }
    std::string cdDirectory;
    std::string homeDirectory;
    std::string localDirectory;
    std::string registryKeyPath;
    std::string catalogFileName;

    CatalogBody body;
    OwningList<SearchEntry> searches;

    // Where readCatalog found the file; writeCatalog writes back there.
    ResolvedPath openedPath;
    LineEnding lineEnding = LineEnding::Lf;
};

} // namespace quillora
