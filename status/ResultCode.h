#pragma once

#include <cstdint>

namespace quillora {

using ResultCode = std::uint16_t;

namespace result {
constexpr ResultCode Success = 0;
// book data file
constexpr ResultCode BadMagic = 400;
// The file cannot be named or read at all; the value a bad header has, as it
// always had.
constexpr ResultCode DataFileUnreadable = 400;
constexpr ResultCode BadRecordTag = 401;
constexpr ResultCode WriteFailed = 402;
constexpr ResultCode VersionTooNew = 403;
constexpr ResultCode VersionTooOld = 404;
// catalogue file
// A category line or package section that cannot be read. It keeps 404, the
// value these errors have always returned, so that no caller sees a new number.
constexpr ResultCode CatalogBodyUnreadable = 404;
// A catalogue older than the oldest version read; the value the book data
// file's VersionTooOld has, as it always had.
constexpr ResultCode CatalogTooOld = 404;
constexpr ResultCode NotACatalog = 601;
constexpr ResultCode CatalogWriteFailed = 602;
constexpr ResultCode CatalogTooNew = 603;
} // namespace result

inline bool isSuccess(ResultCode code) {
    return code == result::Success;
}

} // namespace quillora
