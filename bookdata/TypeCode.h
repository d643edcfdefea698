#pragma once

#include <cstdint>

namespace quillora {

// Type codes of files before version 7, as type bits (book data records and
// catalogue category lines alike).
std::uint8_t mapOldTypeCode(std::int32_t code);

} // namespace quillora
