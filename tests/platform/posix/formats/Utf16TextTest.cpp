#include "platform/posix/formats/Utf16Text.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(Utf16Text, DecodesAndEncodesKnownTexts) {
    struct Case {
        std::string utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {std::string("A\0\xE8\0", 4), "A\xC3\xA8"},               // A, e grave
        {std::string("\xAC\x20", 2), "\xE2\x82\xAC"},             // euro sign
        {std::string("\x3D\xD8\x00\xDE", 4), "\xF0\x9F\x98\x80"}, // a surrogate pair
        {std::string("\x3D\xD8"
                     "a\0",
                     4),
         "\xED\xA0\xBD"
         "a"}, // a lone high surrogate
        {std::string("\0\0", 2), std::string("\0", 1)},
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string text;
        ASSERT_TRUE(decodeUtf16Le(c.utf16, text)) << c.utf8;
        EXPECT_EQ(text, c.utf8);
        EXPECT_EQ(encodeUtf16Le(c.utf8), c.utf16) << c.utf8;
    }
}

TEST(Utf16Text, OddLengthIsRejectedAndStrayBytesKeepTheirValue) {
    std::string text = "kept";
    EXPECT_FALSE(decodeUtf16Le("abc", text));
    // 0xE9 alone is no UTF-8 sequence: it stands for U+00E9.
    EXPECT_EQ(encodeUtf16Le("\xE9x"), std::string("\xE9\0x\0", 4));
    EXPECT_TRUE(startsWithUtf16LeBom("\xFF\xFEx"));
    EXPECT_FALSE(startsWithUtf16LeBom("\xFE\xFFx"));
}

} // namespace
} // namespace quillora
