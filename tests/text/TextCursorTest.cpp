#include "text/TextCursor.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(TextCursor, ReadsNumbersSkippingWhitespace) {
    TextCursor in(" 12\t-7 +3\n4294967295");
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::int32_t c = 0;
    std::uint32_t d = 0;
    EXPECT_TRUE(in.readInt32(a));
    EXPECT_TRUE(in.readInt32(b));
    EXPECT_TRUE(in.readInt32(c));
    EXPECT_TRUE(in.readUInt32(d));
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -7);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(d, 4294967295u);
    EXPECT_FALSE(in.failed());
    EXPECT_TRUE(in.atEnd());
}

TEST(TextCursor, NumbersOutOfRangeOrMissingFail) {
    struct Case {
        const char* text;
        bool isSigned;
    };
    const Case cases[] = {{"2147483648", true},
                          {"-2147483649", true},
                          {"4294967296", false},
                          {"-1", false},
                          {"abc", true},
                          {"", true},
                          {"123456789012345678901234567890", true},
                          // Just past the 64-bit range: wrapped, they would read as 0 and 3.
                          {"18446744073709551616", false},
                          {"18446744073709551619", true}};
    for (const Case& c : cases) {
        TextCursor in(c.text);
        std::int32_t s = 42;
        std::uint32_t u = 42;
        bool ok = c.isSigned ? in.readInt32(s) : in.readUInt32(u);
        EXPECT_FALSE(ok) << c.text;
        EXPECT_TRUE(in.failed()) << c.text;
        EXPECT_EQ(s, 42) << c.text;
        EXPECT_EQ(u, 42u) << c.text;
    }
    TextCursor edge("-2147483648 2147483647");
    std::int32_t lo = 0;
    std::int32_t hi = 0;
    EXPECT_TRUE(edge.readInt32(lo));
    EXPECT_TRUE(edge.readInt32(hi));
    EXPECT_EQ(lo, INT32_MIN);
    EXPECT_EQ(hi, INT32_MAX);
}

TEST(TextCursor, ShortAndLongNumbersReadAlike) {
    // Nine digits take the short path, ten the full one; both stop before a letter.
    TextCursor in("999999999x -999999999 1000000000\t-2147483648 -0 42");
    std::int32_t v = 0;
    std::uint32_t u = 7;
    EXPECT_TRUE(in.readInt32(v));
    EXPECT_EQ(v, 999999999);
    EXPECT_EQ(in.get(), 'x');
    EXPECT_TRUE(in.readInt32(v));
    EXPECT_EQ(v, -999999999);
    EXPECT_TRUE(in.readUInt32(u));
    EXPECT_EQ(u, 1000000000u);
    EXPECT_TRUE(in.readInt32(v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_TRUE(in.readUInt32(u)); // minus zero has an unsigned value
    EXPECT_EQ(u, 0u);
    EXPECT_FALSE(in.atEnd());
    EXPECT_TRUE(in.readInt32(v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(in.atEnd()); // the number ended the text
    EXPECT_FALSE(in.readInt32(v));
    EXPECT_TRUE(in.failed());

    TextCursor blanks(" \t\n");
    EXPECT_FALSE(blanks.readInt32(v));
    EXPECT_TRUE(blanks.failed());
    TextCursor sign("- 5");
    EXPECT_FALSE(sign.readInt32(v));
    EXPECT_EQ(v, 42);
}

TEST(TextCursor, ReadUntilConsumesDelimiterAndKeepsLongFields) {
    std::string longField(1000, 'x');
    // The cursor only refers to its text: keep the text alive.
    const std::string text = "ab|" + longField + "|tail";
    TextCursor in(text);
    std::string s;
    EXPECT_TRUE(in.readUntil(s, '|'));
    EXPECT_EQ(s, "ab");
    EXPECT_TRUE(in.readUntil(s, '|'));
    EXPECT_EQ(s, longField);
    // Reaching the end without the delimiter still yields what was there...
    EXPECT_TRUE(in.readUntil(s, '|'));
    EXPECT_EQ(s, "tail");
    EXPECT_FALSE(in.failed());
    // ...but the next operation fails.
    EXPECT_EQ(in.peek(), TextCursor::kEnd);
    EXPECT_TRUE(in.failed());
}

TEST(TextCursor, OnceFailedEverythingIsANoOp) {
    TextCursor in("x 5");
    std::int32_t v = 0;
    EXPECT_FALSE(in.readInt32(v));
    EXPECT_EQ(in.get(), TextCursor::kEnd);
    EXPECT_EQ(in.peek(), TextCursor::kEnd);
    std::string s = "keep";
    EXPECT_FALSE(in.readUntil(s, ' '));
    EXPECT_EQ(s, "keep");
}

TEST(TextCursor, IgnoreStopsAfterDelimiterOrCount) {
    TextCursor in("abc\ndefghijklmnop\nq");
    in.ignore(10, '\n');
    EXPECT_EQ(in.get(), 'd');
    in.ignore(3, '\n');
    EXPECT_EQ(in.get(), 'h');
    in.ignore(100, '\n');
    EXPECT_EQ(in.get(), 'q');
    in.ignore(10, '\n'); // at the end: nothing to drop, no failure
    EXPECT_FALSE(in.failed());
    EXPECT_EQ(in.get(), TextCursor::kEnd);
    EXPECT_TRUE(in.failed());
}

TEST(TextCursor, LineNumberCountsNewlinesBeforePosition) {
    TextCursor in("a\nb\nc");
    EXPECT_EQ(in.lineNumber(), 1u);
    in.ignore(100, '\n');
    in.ignore(100, '\n');
    EXPECT_EQ(in.lineNumber(), 3u);
}

} // namespace
} // namespace quillora
