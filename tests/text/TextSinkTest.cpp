// The in-memory writer every file goes through: numbers, growth, hand-over.
#include "text/TextSink.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillora {
namespace {

TEST(TextSink, NumbersAreWrittenInPlainDecimal) {
    struct Case {
        std::int64_t value;
        bool isSigned;
        const char* text;
    };
    const Case cases[] = {
        {0, false, "0"},
        {9, false, "9"},
        {10, false, "10"},
        {99, false, "99"},
        {100, false, "100"},
        {101, false, "101"},
        {999, false, "999"},
        {1000, false, "1000"},
        {9999, false, "9999"},
        {10000, false, "10000"},
        {12345, false, "12345"},
        {999999999, false, "999999999"},
        {1000000000, false, "1000000000"},
        {4294967295, false, "4294967295"},
        {0, true, "0"},
        {-1, true, "-1"},
        {-10, true, "-10"},
        {2147483647, true, "2147483647"},
        {std::numeric_limits<std::int32_t>::min(), true, "-2147483648"},
    };
    for (const Case& c : cases) {
        TextSink out;
        if (c.isSigned) {
            out.i32(static_cast<std::int32_t>(c.value));
        } else {
            out.u32(static_cast<std::uint32_t>(c.value));
        }
        EXPECT_EQ(out.take(), c.text) << c.value;
    }
}

TEST(TextSink, GrowsPastAnyRoomAndKeepsEveryCharacter) {
    for (std::size_t reserved : {std::size_t{0}, std::size_t{1}, std::size_t{300}}) {
        TextSink out;
        out.reserve(reserved);
        std::string expected;
        for (int i = 0; i < 5000; ++i) {
            out.text("B").tab().i32(-i).bar().u32(static_cast<std::uint32_t>(i) * 7919u);
            out.text(std::string(static_cast<std::size_t>(i % 40), 'x')).newline();
            expected += "B\t" + std::to_string(-i) + "|" +
                        std::to_string(static_cast<std::uint32_t>(i) * 7919u) +
                        std::string(static_cast<std::size_t>(i % 40), 'x') + "\n";
        }
        EXPECT_EQ(out.size(), expected.size());
        EXPECT_EQ(out.take(), expected) << "reserved " << reserved;
    }
}

TEST(TextSink, TakeHandsOverOnlyTheTextAndEmptiesTheSink) {
    TextSink out;
    out.reserve(1000);
    out.text("zobooksdatafile").ch(' ').i32(9).newline();
    EXPECT_EQ(out.take(), "zobooksdatafile 9\n");
    EXPECT_EQ(out.size(), 0u);
    EXPECT_EQ(out.take(), "");
    out.text("E").newline();
    EXPECT_EQ(out.take(), "E\n");
}

// A piece that could not be written fails the whole text, however many pieces
// after it could: the file would otherwise be committed with a hole.
TEST(TextSink, APieceThatFailsFailsTheTextAndNothingAfterItIsWritten) {
    int calls = 0;
    TextSink out([&calls](std::string_view) { return ++calls > 1; }, 16, 16);
    for (int i = 0; i < 100; ++i) {
        out.text("B\t1\t0\t1\tBook|\n");
    }
    EXPECT_FALSE(out.finish());
    EXPECT_EQ(calls, 1);
}

} // namespace
} // namespace quillora
