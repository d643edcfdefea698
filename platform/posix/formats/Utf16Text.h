// UTF-16 LE text, the form regedit and rc write, converted to and from the
// 8-bit (UTF-8) strings the tool works with.
#pragma once

#include <string>

namespace quillora {

// The UTF-16 LE byte-order mark.
constexpr const char* kUtf16LeBom = "\xFF\xFE";

bool startsWithUtf16LeBom(const std::string& bytes);

// Decodes UTF-16 LE (without its mark) into UTF-8. A lone surrogate is kept as
// its own three-byte sequence, so that encoding gives back the same bytes.
// False for an odd number of bytes.
bool decodeUtf16Le(const std::string& bytes, std::string& text);

// Encodes UTF-8 into UTF-16 LE (no mark). A byte that is not part of a valid
// sequence stands for the code point of the same value.
std::string encodeUtf16Le(const std::string& text);

} // namespace quillora
