#include "bookdata/BookEntry.h"
#include "bookdata/ExtractGroupEntry.h"
#include "bookdata/GroupEntry.h"

#include "BookDataTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillora {
namespace {

using testing::bookLine;
using testing::FakePlatform;
using testing::groupLine;
using testing::kHeader9;
using testing::loadText;
using testing::saveText;

template <class List> std::vector<std::int32_t> ids(const List& list) {
    std::vector<std::int32_t> result;
    for (const LibraryEntry* e : list) {
        result.push_back(e->id);
    }
    return result;
}

const MemberList& childrenOf(const LibraryEntry* entry) {
    return static_cast<const GroupEntry*>(entry)->children;
}

using Ids = std::vector<std::int32_t>;

TEST(TagParser, NestedGroupsBuildTheTree) {
    FakePlatform fs;
    BookDataFile p;
    const std::string body =
        groupLine(1) + bookLine(2) + groupLine(3) + bookLine(4) + "E\n" + bookLine(5) + "E\n";
    ASSERT_EQ(loadText(p, fs, kHeader9 + body).code(), result::Success);
    EXPECT_TRUE(p.loaded);
    EXPECT_FALSE(p.modified);
    EXPECT_EQ(ids(p.allEntries), (Ids{1, 2, 3, 4, 5}));
    ASSERT_EQ(ids(p.rootEntries), (Ids{1}));
    LibraryEntry* outer = p.rootEntries.at(0);
    ASSERT_EQ(ids(childrenOf(outer)), (Ids{2, 3, 5}));
    LibraryEntry* inner = p.allEntries.at(2);
    EXPECT_EQ(ids(childrenOf(inner)), (Ids{4}));
    EXPECT_EQ(p.allEntries.at(1)->parent, outer);
    EXPECT_EQ(p.allEntries.at(3)->parent, inner);
    EXPECT_EQ(p.allEntries.at(4)->parent, outer);
    EXPECT_EQ(outer->parent, nullptr);
    // Written back, the same seven lines.
    EXPECT_EQ(saveText(p, fs), kHeader9 + body);
}

TEST(TagParser, EmptyGroupLowerCaseTagsAndSurplusEndLines) {
    FakePlatform fs;
    BookDataFile p;
    std::string lowerGroup = groupLine(2);
    lowerGroup[0] = 'g';
    std::string lowerBook = bookLine(3);
    lowerBook[0] = 'b';
    // E before any record and E after a closed group change nothing.
    const std::string body = "E\n" + bookLine(1) + "E\n" + lowerGroup + "e\n" + "E\n" + lowerBook;
    ASSERT_EQ(loadText(p, fs, kHeader9 + body).code(), result::Success);
    EXPECT_EQ(ids(p.rootEntries), (Ids{1, 2, 3}));
    EXPECT_TRUE(childrenOf(p.rootEntries.at(1)).empty());
    EXPECT_EQ(p.rootEntries.at(1)->kind, EntryKind::Group);
    EXPECT_EQ(saveText(p, fs), kHeader9 + bookLine(1) + groupLine(2) + "E\n" + bookLine(3));
}

TEST(TagParser, ExtractGroupNeverOpensAGroup) {
    FakePlatform fs;
    BookDataFile p;
    const std::string y = "Y\t2\t0\t0\tY|||||||16\t0\t0\t0\t-1\t1\t\n";
    ASSERT_EQ(
        loadText(p, fs, kHeader9 + groupLine(1) + y + bookLine(3) + "E\n" + bookLine(4)).code(),
        result::Success);
    EXPECT_EQ(ids(p.rootEntries), (Ids{1, 4}));
    EXPECT_EQ(ids(childrenOf(p.rootEntries.at(0))), (Ids{2, 3}));
    EXPECT_EQ(p.allEntries.at(2)->parent, p.rootEntries.at(0)); // the book is not the Y's
}

TEST(TagParser, MaxEntryIdIsTheLargestIdAboveZero) {
    struct Case {
        std::string body;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"", 0},
        {bookLine(5) + groupLine(12) + bookLine(3) + "E\n", 12},
        {bookLine(-4), 0},
    };
    for (const Case& c : cases) {
        FakePlatform fs;
        BookDataFile p;
        ASSERT_EQ(loadText(p, fs, kHeader9 + c.body).code(), result::Success);
        EXPECT_EQ(p.maxEntryId, c.expected) << c.body;
    }
}

TEST(TagParser, LLinesSetTheValueOfTheBookJustRead) {
    struct Case {
        const char* what;
        std::string body;
        std::int32_t hasLValue;
        std::int32_t lValue;
    };
    const std::string program = "P\t9\t0\t0\tp||||||||16\t0\t0\t-1\t1\t\n";
    const Case cases[] = {
        {"positive", bookLine(1, 1) + "L\t5\n", 1, 5},
        {"zero clears the flag", bookLine(1, 1) + "L\t0\n", 0, 0},
        {"negative clears the flag", bookLine(1, 1) + "L\t-3\n", 0, -3},
        {"missing", bookLine(1, 1) + bookLine(2), 1, -1},
        {"book without the flag", bookLine(1) + "L\t5\n", 0, -1},
        {"after a program", bookLine(1, 1) + program + "L\t5\n", 1, -1},
        {"after a group", bookLine(1, 1) + groupLine(2) + "L\t5\nE\n", 1, -1},
    };
    for (const Case& c : cases) {
        FakePlatform fs;
        BookDataFile p;
        ASSERT_EQ(loadText(p, fs, kHeader9 + c.body).code(), result::Success) << c.what;
        auto* book = static_cast<BookEntry*>(p.allEntries.at(0));
        EXPECT_EQ(book->hasLValue, c.hasLValue) << c.what;
        EXPECT_EQ(book->lValue, c.lValue) << c.what;
    }
}

TEST(TagParser, ABookWhoseLLineIsMissingLosesTheFlagOverTwoSaves) {
    FakePlatform fs;
    BookDataFile p;
    ASSERT_EQ(loadText(p, fs, kHeader9 + bookLine(1, 1)).code(), result::Success);
    EXPECT_EQ(saveText(p, fs), kHeader9 + bookLine(1, 1) + "L\t-1\n");
    // Read again, the L line of -1 clears the flag.
    BookDataFile again;
    ASSERT_EQ(loadText(again, fs, fs.files[testing::kDataFile]).code(), result::Success);
    EXPECT_EQ(saveText(again, fs), kHeader9 + bookLine(1, 0));
}

TEST(TagParser, RecordsThatCannotBeReadFailTheLoadAndKeepWhatCameBefore) {
    struct Case {
        const char* what;
        std::string body;
        std::size_t entriesKept;
        const char* where;
    };
    const std::string badNumber = "B\t2\t0\t1\tBook2|||||||x\t0\t0\t0\t-1\t0\t1\t0\t\n";
    const std::string singleUnderY = "Y\t2\t0\t5\tE|t8|t2|t3|t4|t5|t6|t7|1\t2\t1\t2\t0\t1\t\n";
    const Case cases[] = {
        {"unknown tag", bookLine(1) + "Q\tjunk\n" + bookLine(3), 1, "book.dat:3: "},
        {"letter for a number", bookLine(1) + badNumber + bookLine(3), 1, "book.dat:3: "},
        {"cut short at the end", bookLine(1) + "B\t2\t0\t1\tBook2|||", 1, "book.dat:3: "},
        {"cut short in the numbers", groupLine(1) + "B\t2\t0\t1\tBook2|||||||16\t0\t0", 1,
         "book.dat:3: "},
        {"L without a number", bookLine(1, 1) + "L\tx\n" + bookLine(3), 1, "book.dat:3: "},
        {"L at the very end", bookLine(1, 1) + "L", 1, "book.dat:3: "},
        {"X layout under tag Y", bookLine(1) + singleUnderY + bookLine(3), 1, "book.dat:3: "},
        // A tab follows the last number of these lines; without it the number may be cut.
        {"B cut in its last number",
         bookLine(1) + "B\t2\t0\t1\tBook2|||||||16\t0\t0\t0\t-1\t0\t1\t0", 1, "book.dat:3: "},
        {"P cut in its last number", bookLine(1) + "P\t2\t0\t0\tp||||||||16\t0\t0\t-1\t1", 1,
         "book.dat:3: "},
        {"X cut in its last number",
         bookLine(1) + "X\t2\t0\t5\tE|t8|t2|t3|t4|t5|t6|t7|1\t2\t1\t2\t0\t1", 1, "book.dat:3: "},
        {"Y cut in its last number",
         bookLine(1) + "Y\t2\t0\t5\tE|t2|t3|t4|t5|t6|t7|1\t2\t1\t2\t0\t1", 1, "book.dat:3: "},
        {"B cut in its extra text",
         bookLine(1) + "B\t2\t0\t1\tBook2|||||||16\t0\t0\t0\t-1\t0\t1\t1\textra", 1,
         "book.dat:3: "},
    };
    for (const Case& c : cases) {
        FakePlatform fs;
        BookDataFile p;
        const Status loaded = loadText(p, fs, kHeader9 + c.body);
        EXPECT_EQ(loaded.code(), result::BadRecordTag) << c.what;
        EXPECT_FALSE(p.loaded) << c.what;
        EXPECT_EQ(p.allEntries.count(), c.entriesKept) << c.what;
        EXPECT_EQ(loaded.reason().rfind(c.where, 0), 0u) << c.what << ": " << loaded.reason();
    }
}

TEST(TagParser, EndOfFileWithoutNewlineOrAtCtrlZIsAnEnd) {
    std::string lastLine = bookLine(2);
    lastLine.pop_back();
    // A G line ends with its last number, so it may end the file right after it.
    std::string lastGroup = groupLine(2);
    lastGroup.pop_back();
    for (const std::string& body : {bookLine(1) + lastLine, bookLine(1) + lastGroup,
                                    bookLine(1) + bookLine(2) + "\x1a\r\n\x1a"}) {
        FakePlatform fs;
        BookDataFile p;
        EXPECT_EQ(loadText(p, fs, kHeader9 + body).code(), result::Success);
        EXPECT_EQ(p.allEntries.count(), 2u);
    }
}

TEST(TagParser, RecordsAfterACtrlZAreNotDropped) {
    FakePlatform fs;
    BookDataFile p;
    const Status loaded = loadText(p, fs, kHeader9 + bookLine(1) + "\x1a\n" + bookLine(2));
    EXPECT_EQ(loaded.code(), result::BadRecordTag);
    EXPECT_EQ(loaded.reason().rfind("book.dat:3: ", 0), 0u) << loaded.reason();
}

TEST(TagParser, LongStringsAreReadWholeAndWrittenBackUnchanged) {
    const std::string longName(1000, 'n');
    const std::string longText(260, 't');
    const std::string file = std::string(kHeader9) + "B\t1\t0\t1\t" + longName + "|" + longText +
                             "||||||16\t0\t0\t0\t-1\t0\t1\t1\t" + longText + "|\n";
    FakePlatform fs;
    BookDataFile p;
    ASSERT_EQ(loadText(p, fs, file).code(), result::Success);
    auto* book = static_cast<BookEntry*>(p.allEntries.at(0));
    EXPECT_EQ(book->text(TextField::name), longName);
    EXPECT_EQ(book->text(TextField::text2), longText);
    EXPECT_EQ(book->text(TextField::extraText), longText);
    EXPECT_EQ(saveText(p, fs), file);
}

} // namespace
} // namespace quillora
