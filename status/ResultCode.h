#pragma once

#include <cstdint>

namespace quillora {

using ResultCode = std::uint16_t;

// The result codes the two file formats define, with the formats' names. A
// failure that no format names has no code here: it is a Failure (Status.h).
namespace result {
constexpr ResultCode Success = 0;
// Book data file. BadMagic also stands for a file that cannot be read at all.
constexpr ResultCode BadMagic = 400;
constexpr ResultCode BadRecordTag = 401;
constexpr ResultCode WriteFailed = 402;
constexpr ResultCode VersionTooNew = 403;
// Both formats: a version older than the oldest one read. The catalogue gives
// it also for a category line, or a package section, that cannot be read.
constexpr ResultCode VersionTooOld = 404;
// Catalogue file.
constexpr ResultCode NotACatalog = 601;
constexpr ResultCode CatalogWriteFailed = 602;
constexpr ResultCode CatalogTooNew = 603;
} // namespace result

} // namespace quillora
