#include "bookdata/GroupEntry.h"
#include "bookdata/BookEntry.h"

#include "BookDataTestSupport.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

using testing::readRecord;
using testing::writeRecord;

TEST(GroupEntry, LinesOfEveryLayoutAreWrittenBackInTheNewest) {
    struct Case {
        std::int32_t version;
        const char* line;
        const char* written;
    };
    const Case cases[] = {
        // no auxNumber, no text4, a type code, no levelCode
        {4, "12\tManuals|a|b|1\t-1\n", "G\t12\t0\tManuals|a|b||128\t0\t-1\n"},
        {6, "12\t5\tManuals|a|b|c|7\t0\n", "G\t12\t5\tManuals|a|b|c|16\t0\t0\n"},
        // from version 7 the type field holds the bits
        {7, "12\t5\tManuals|a|b|c|7\t5\n", "G\t12\t5\tManuals|a|b|c|7\t0\t-1\n"},
        // version 8: the number after the type is the active value
        {8, "12\t5\tManuals|a|b|c|1\t0\n", "G\t12\t5\tManuals|a|b|c|1\t0\t0\n"},
        {9, "12\t5\tManuals|a|b|c|16\t2\t-1\n", "G\t12\t5\tManuals|a|b|c|16\t2\t-1\n"},
        {9, "12\t5\tManuals|a|b|c|16\t3\t-1\n", "G\t12\t5\tManuals|a|b|c|16\t0\t-1\n"},
    };
    for (const Case& c : cases) {
        auto group = readRecord<GroupEntry>(c.line, c.version);
        ASSERT_NE(group, nullptr) << c.line;
        EXPECT_EQ(group->imageId, 3);
        EXPECT_EQ(group->maintain, 1);
        EXPECT_EQ(writeRecord(*group), std::string(c.written) + "E\n") << c.line;
    }
}

TEST(GroupEntry, WritesItsMembersThenItsEndLine) {
    BookDataFile file;
    GroupEntry outer(&file);
    outer.id = 1;
    outer.setText(TextField::name, "Outer");
    BookEntry first(&file);
    first.id = 2;
    first.setText(TextField::name, "First");
    GroupEntry inner(&file);
    inner.id = 3;
    inner.setText(TextField::name, "Inner");
    inner.active = 0;
    inner.maintain = 0; // a group's maintain flag is not stored
    BookEntry nested(nullptr);
    nested.id = 4;
    inner.append(&nested);
    outer.append(&first);
    outer.append(&inner);
    EXPECT_EQ(writeRecord(outer), "G\t1\t0\tOuter||||16\t0\t-1\n"
                                  "B\t2\t0\t0\tFirst|||||||16\t0\t0\t0\t-1\t0\t1\t0\t\n"
                                  "G\t3\t0\tInner||||16\t0\t0\n"
                                  "B\t4\t0\t0\t|||||||16\t0\t0\t0\t-1\t0\t1\t0\t\n"
                                  "E\n"
                                  "E\n");
}

TEST(GroupEntry, ShortTrailingTextIsDroppedWithTheNewline) {
    // Ten characters at most are dropped: a newline further on stays.
    const struct {
        const char* rest;
        int next;
    } cases[] = {{" comment\nB", 'B'}, {" 12345678\nB", 'B'}, {" 123456789\nB", '\n'}};
    for (const auto& c : cases) {
        const std::string line = std::string("1\t0\tg||||16\t0\t-1") + c.rest;
        TextCursor in(line);
        GroupEntry group(nullptr);
        EXPECT_TRUE(group.read(in, 9)) << c.rest;
        EXPECT_EQ(in.get(), c.next) << c.rest;
    }
}

TEST(GroupEntry, LetterForANumberFails) {
    bool ok = true;
    readRecord<GroupEntry>("1\t0\tg||||x\t0\t-1\n", 9, ok);
    EXPECT_FALSE(ok);
}

} // namespace
} // namespace quillora
