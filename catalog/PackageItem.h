#pragma once

#include <cstdint>
#include <string>

namespace quillora {

class TextCursor;
class TextSink;

// One numbered item line of a package section.
class PackageItem {
public:
    virtual ~PackageItem() = default;
    // The letter of version 8 and later lines has been consumed by the caller.
    virtual bool read(TextCursor& in, std::uint32_t version);
    virtual void write(TextSink& out, std::uint32_t version) const;

    std::int32_t id = 0;
    char kind = 0;

protected:
    explicit PackageItem(char itemKind) : kind(itemKind) {}
};

} // namespace quillora
