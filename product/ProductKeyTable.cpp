#include "product/ProductKeyTable.h"

#include <cstddef>

namespace quillora {

namespace {

// 576 bytes, in this order; unused bytes are zero. volatile keeps the compiler
// from folding the values into the code, so a patched image is honoured.
struct ProductKeySlots {
    char slot1[64];
    char slot2[64];
    char slot3[64];
    char slot4[128];
    char slot5[128];
    char slot6[128];
};
static_assert(sizeof(ProductKeySlots) == 576, "slot block must be 576 bytes");

} // namespace

extern const volatile ProductKeySlots quilloraProductKeyTable;
const volatile ProductKeySlots quilloraProductKeyTable = {
    "%1PRODUCTKEY%Quillora",
    "%2PROGRAMKEY%Quillora",
    "%3VENDORKEY%KIV",
    "%4OWNERKEY%Tolvane Works",
    "%5COMPANYKEY%Tolvane Works",
    "%6CONTACTKEY%support@tolvane.example",
};

std::string productKeyValue(ProductKey slot) {
    const volatile char* begin = nullptr;
    std::size_t size = 0;
    switch (slot) {
    case ProductKey::Product:
        begin = quilloraProductKeyTable.slot1;
        size = sizeof quilloraProductKeyTable.slot1;
        break;
    case ProductKey::Program:
        begin = quilloraProductKeyTable.slot2;
        size = sizeof quilloraProductKeyTable.slot2;
        break;
    case ProductKey::Vendor:
        begin = quilloraProductKeyTable.slot3;
        size = sizeof quilloraProductKeyTable.slot3;
        break;
    case ProductKey::Owner:
        begin = quilloraProductKeyTable.slot4;
        size = sizeof quilloraProductKeyTable.slot4;
        break;
    case ProductKey::Company:
        begin = quilloraProductKeyTable.slot5;
        size = sizeof quilloraProductKeyTable.slot5;
        break;
    case ProductKey::Contact:
        begin = quilloraProductKeyTable.slot6;
        size = sizeof quilloraProductKeyTable.slot6;
        break;
    }
    // The marker is "%<digit>NAME%": the value starts after its second '%'. The
    // markers are not spelled out again here, so the image holds each only once.
    std::size_t i = 1;
    while (i < size && begin[i] != '%') {
        ++i;
    }
    std::string value;
    for (++i; i < size && begin[i] != '\0'; ++i) {
        value.push_back(begin[i]);
    }
    return value;
}

} // namespace quillora
