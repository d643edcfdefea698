#pragma once

#include <cstdint>
#include <string>

namespace quillora {

class TextCursor;
class TextSink;

// One category line; carried from file to file.
class Category {
public:
    bool read(TextCursor& in, std::uint32_t version);
    void write(TextSink& out) const;

    std::uint32_t number = 0;
    std::string name;
    std::string text2;
    std::uint32_t value1 = 0;
    std::uint32_t value2 = 0;
    std::uint32_t value3 = 0;
    std::uint8_t typeBits = 0x10;
};

} // namespace quillora
