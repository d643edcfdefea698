#include "bookdata/TypeCode.h"

namespace quillora {

std::uint8_t mapOldTypeCode(std::int32_t code) {
    switch (code) {
    case 1:
        return 0x80;
    case 2:
        return 0x20;
    case 3:
        return 0x40;
    default:
        return 0x10;
    }
}

} // namespace quillora
