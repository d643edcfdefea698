#pragma once

#include "catalog/PackageItem.h"

namespace quillora {

// A directory holding a package's books; books name it by its id.
class DirectoryItem : public PackageItem {
public:
    static constexpr char kKind = 'D';
    DirectoryItem() : PackageItem(kKind) {}
    bool read(TextCursor& in, std::uint32_t version) override;
    void write(TextSink& out, std::uint32_t version) const override;

    std::string path;
};

} // namespace quillora
