#pragma once

#include "catalog/Category.h"
#include "catalog/Package.h"
#include "bookdata/RefList.h"
#include "status/ResultCode.h"

#include <cstdint>
#include <string>

namespace quillora {

class TextCursor;
class TextSink;

class CatalogBody {
public:
    CatalogBody() = default;
    ~CatalogBody() {
        categories.removeAll();
        packages.removeAll();
    }
    CatalogBody(const CatalogBody&) = delete;
    CatalogBody& operator=(const CatalogBody&) = delete;

    // Category lines and package sections; in is just past the section line.
    // On failure diagnostic says why, naming path.
    ResultCode readBody(TextCursor& in, std::uint32_t version, const std::string& path,
                        std::string& diagnostic);
    void writeBody(TextSink& out, std::uint32_t version) const;

    OwningList<Package> packages;
    OwningList<Category> categories;
};

} // namespace quillora
