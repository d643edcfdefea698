#pragma once

#include <cstdint>

namespace quillora {

using ResultCode = std::uint16_t;

namespace result {
constexpr ResultCode Success = 0;
// book data file
constexpr ResultCode BadMagic = 400;
constexpr ResultCode BadRecordTag = 401;
constexpr ResultCode WriteFailed = 402;
constexpr ResultCode VersionTooNew = 403;
constexpr ResultCode VersionTooOld = 404;
// catalogue file
constexpr ResultCode NotACatalog = 601;
constexpr ResultCode CatalogWriteFailed = 602;
constexpr ResultCode CatalogTooNew = 603;
} // namespace result

inline bool isSuccess(ResultCode code) { return code == result::Success; }

} // namespace quillora
