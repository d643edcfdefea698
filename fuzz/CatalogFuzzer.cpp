// The catalogue reader under hostile input (the property is in RoundTrip.h).
// The one thing the format cannot carry, a package without a name, is written
// as an empty line, which the next read passes over.
#include "RoundTrip.h"
#include "catalog/LibraryCatalog.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace quillora;

constexpr const char* kFile = "Quillora.ini";

bool hasNamelessPackage(const LibraryCatalog& catalog) {
    for (const Package* package : catalog.body.packages) {
        if (package->name.empty()) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::checkRoundTrip<LibraryCatalog>(
        data, size, kFile,
        [](testing::FakePlatform& files, LibraryCatalog& catalog) {
            catalog.catalogFileName = kFile;
            return catalog.readCatalog(files);
        },
        [](testing::FakePlatform& files, LibraryCatalog& catalog) {
            return catalog.writeCatalog(files);
        },
        hasNamelessPackage);
    return 0;
}
