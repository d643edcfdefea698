#include "catalog/PackageItem.h"

namespace quillora {

// Only the concrete items carry a line; the base reads and writes nothing.
bool PackageItem::read(TextCursor&, std::uint32_t) {
    return true;
}
void PackageItem::write(TextSink&, std::uint32_t) const {}

} // namespace quillora
