#pragma once

#include "bookdata/RefList.h"
#include "catalog/Category.h"
#include "catalog/Package.h"
#include "status/Status.h"

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
    // A failure's reason names path.
    Status readBody(TextCursor& in, std::uint32_t version, const std::string& path);
    void writeBody(TextSink& out, std::uint32_t version) const;

    OwningList<Package> packages;
    OwningList<Category> categories;
};

} // namespace quillora
