// Reading a whole file whose size changes between its measuring and its read.
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace quillora {
namespace {

TEST(ReadWholeFile, KeepsEveryByteReadWhetherTheFileGrewOrShrank) {
    struct Case {
        std::size_t measured; // the size the file had when it was opened
        std::size_t actual;
        std::size_t chunk; // the most one read gives
    };
    const Case cases[] = {
        {0, 0, 7}, {5, 5, 2}, {10, 4, 3}, {3, 5000, 1000}, {0, 9000, 4096}, {100, 100000, 333},
    };
    for (const Case& c : cases) {
        std::string source(c.actual, ' ');
        for (std::size_t i = 0; i < source.size(); ++i) {
            source[i] = static_cast<char>('a' + i % 23);
        }
        std::size_t at = 0;
        TextBuffer bytes = "old";
        ASSERT_TRUE(readWholeFile(c.measured, bytes, [&](char* to, std::size_t room) {
            const std::size_t n = std::min({room, c.chunk, source.size() - at});
            source.copy(to, n, at);
            at += n;
            return static_cast<long long>(n);
        }));
        EXPECT_EQ(bytes, source) << c.measured << " then " << c.actual;
    }
    TextBuffer bytes;
    EXPECT_FALSE(readWholeFile(4, bytes, [](char*, std::size_t) { return -1LL; }));
}

} // namespace
} // namespace quillora
