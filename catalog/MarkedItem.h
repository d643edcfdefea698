#pragma once

#include "catalog/PackageItem.h"

namespace quillora {

// A text with a two-state mark: 'H' or none (0).
class MarkedItem : public PackageItem {
public:
    static constexpr char kKind = 'A';
    static constexpr char kMarkH = 'H';
    MarkedItem() : PackageItem(kKind) {}
    bool read(TextCursor& in, std::uint32_t version) override;
    void write(TextSink& out, std::uint32_t version) const override;

    std::string text;
    char mark = kMarkH;
};

} // namespace quillora
