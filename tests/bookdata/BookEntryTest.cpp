#include "bookdata/BookEntry.h"

#include "BookDataTestSupport.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

using testing::readRecord;
using testing::writeRecord;

TEST(BookEntry, Version9LineReadsEveryFieldAndWritesItBack) {
    const std::string line =
        "7\t4\t3\tGuide|t2|t3|t4|t5|t6|t7|48\t2\t1\t1\t-1\t1\t1\t1\textra text|\n";
    auto book = readRecord<BookEntry>(line, 9);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->id, 7);
    EXPECT_EQ(book->auxNumber, 4u);
    EXPECT_EQ(book->directoryId, 3);
    EXPECT_EQ(book->text(TextField::name), "Guide");
    EXPECT_EQ(book->text(TextField::text4), "t4");
    EXPECT_EQ(book->text(TextField::text7), "t7");
    EXPECT_EQ(book->typeBits, 48);
    EXPECT_EQ(book->levelCode, 2);
    EXPECT_EQ(book->extraFlag, 1);
    EXPECT_EQ(book->displayKind, 1);
    EXPECT_EQ(book->imageId, 5);
    EXPECT_EQ(book->active, -1);
    EXPECT_EQ(book->hasLValue, 1);
    EXPECT_EQ(book->maintain, 1);
    EXPECT_EQ(book->hasExtraText, 1);
    EXPECT_EQ(book->text(TextField::extraText), "extra text");
    // No L line was read, so lValue is still -1 and the L line says so.
    EXPECT_EQ(writeRecord(*book), "B\t" + line + "L\t-1\n");
}

TEST(BookEntry, WritesTheDocumentedExampleAndNoTrailingTextWithoutTheFlag) {
    BookDataFile file;
    BookEntry& book = *file.make<BookEntry>();
    book.id = 7;
    book.directoryId = 3;
    book.setText(TextField::name, "Guide");
    book.displayKind = 1;
    book.hasLValue = 1;
    book.lValue = 2;
    book.setText(TextField::extraText, "not written");
    EXPECT_EQ(writeRecord(book), "B\t7\t0\t3\tGuide|||||||16\t0\t0\t1\t-1\t1\t1\t0\t\nL\t2\n");
}

TEST(BookEntry, Version3LineLacksTheLaterFieldsAndIsWrittenInFull) {
    auto book = readRecord<BookEntry>("7\t3\tGuide|t2|t3|t5|t6|1\t2\t-1\t0\t1\t0\t\n", 3);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->auxNumber, 0u);
    EXPECT_EQ(book->text(TextField::text4), "");
    EXPECT_EQ(book->text(TextField::text5), "t5");
    EXPECT_EQ(book->text(TextField::text6), "t6");
    EXPECT_EQ(book->text(TextField::text7), "");
    EXPECT_EQ(book->typeBits, 0x80); // old code 1
    EXPECT_EQ(book->levelCode, 0);
    EXPECT_EQ(book->extraFlag, 0);
    EXPECT_EQ(book->imageId, 12);
    EXPECT_EQ(writeRecord(*book), "B\t7\t0\t3\tGuide|t2|t3||t5|t6||128\t0\t0\t2\t-1\t0\t1\t0\t\n");
}

// A text of 254 characters and a gap of 255 before the extra text are the
// most an entry's own bytes say; one more keeps the texts with the file.
TEST(BookEntry, TextsAtTheEdgeOfAnEntrysBytesAreReadAndWrittenWhole) {
    const std::string numbers = "48\t2\t1\t1\t-1\t1\t1\t1\t"; // 18 characters
    const struct {
        std::size_t text3;
        std::size_t zeros; // before typeBits: the gap is 18 more
    } cases[] = {{254, 0}, {255, 0}, {3, 237}, {3, 238}};
    for (const auto& c : cases) {
        const std::string text3(c.text3, '3');
        const std::string line = "7\t4\t3\tGuide|t2|" + text3 + "|t4|t5|t6|t7|" +
                                 std::string(c.zeros, '0') + numbers + "extra text|\n";
        auto book = readRecord<BookEntry>(line, 9);
        ASSERT_NE(book, nullptr) << c.text3 << " " << c.zeros;
        EXPECT_EQ(book->text(TextField::text3), text3) << c.zeros;
        EXPECT_EQ(book->text(TextField::text4), "t4") << c.text3 << " " << c.zeros;
        EXPECT_EQ(book->text(TextField::text7), "t7") << c.text3 << " " << c.zeros;
        EXPECT_EQ(book->text(TextField::extraText), "extra text") << c.text3 << " " << c.zeros;
        EXPECT_EQ(writeRecord(*book), "B\t7\t4\t3\tGuide|t2|" + text3 + "|t4|t5|t6|t7|" + numbers +
                                          "extra text|\nL\t-1\n");
    }
}

// A line of its file's texts has room claimed at once for the longest line of
// its kind. The longest book line, every text and number as wide as it can be,
// goes into a buffer of just that room, where the sanitizer build sees any
// character written past it.
TEST(BookEntry, TheLongestLineIsWrittenWithinTheRoomClaimedForIt) {
    const std::string t(254, 't');
    std::string line = "-2147483648\t4294967295\t-2147483648\t";
    for (int i = 0; i < 7; ++i) {
        line += t + "|";
    }
    line += "255\t2\t1\t255\t-1\t0\t1\t1\t" + t + "|\n";
    auto book = readRecord<BookEntry>(line, 9);
    ASSERT_NE(book, nullptr);
    std::string written;
    const auto keep = [&written](std::string_view piece) {
        written += piece;
        return true;
    };
    TextSink out(keep, 1, 0);
    book->write(out, 9);
    ASSERT_TRUE(out.finish());
    EXPECT_EQ(written, "B\t" + line);
}

TEST(BookEntry, NumbersAreFoldedIntoRange) {
    // levelCode 3, extraFlag 2, displayKind 7, active 5, hasLValue 2, maintain 2, hasExtraText 2
    auto book = readRecord<BookEntry>("1\t0\t2\tn|||||||16\t3\t2\t7\t5\t2\t2\t2\tleft|\n", 9);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->levelCode, 0);
    EXPECT_EQ(book->extraFlag, 0);
    EXPECT_EQ(book->displayKind, 7);
    EXPECT_EQ(book->imageId, 9); // an unknown display code leaves the default
    EXPECT_EQ(book->active, -1);
    EXPECT_EQ(book->hasLValue, 0);
    EXPECT_EQ(book->maintain, 0);
    EXPECT_EQ(book->hasExtraText, 0);
    EXPECT_EQ(book->text(TextField::extraText), "");
    EXPECT_EQ(writeRecord(*book), "B\t1\t0\t2\tn|||||||16\t0\t0\t7\t-1\t0\t0\t0\t\n");
}

TEST(BookEntry, DisplayKindGivesTheImage) {
    const std::pair<const char*, std::int32_t> cases[] = {{"0", 9}, {"1", 5}, {"2", 12}, {"3", 9}};
    for (const auto& [kind, image] : cases) {
        auto book = readRecord<BookEntry>(
            std::string("1\t0\t2\tn|||||||16\t0\t0\t") + kind + "\t-1\t0\t1\t0\t\n", 9);
        ASSERT_NE(book, nullptr) << kind;
        EXPECT_EQ(book->imageId, image) << kind;
    }
}

TEST(BookEntry, LinesThatCannotBeReadFail) {
    const char* lines[] = {
        "1\t0\t2\tn|||||||16\t0\t0\t1\t-1\t0\t1\n",     // cut short: no hasExtraText
        "1\t0\t2\tn|||||||x\t0\t0\t1\t-1\t0\t1\t0\t\n", // a letter for a number
        "1\t0\t2\tn||||",                               // ends inside the strings
        "1\t0\t2\tn|||||||16\t0\t0\t1\t-1\t0\t1\t1\t",  // extra text promised, none there
    };
    for (const char* line : lines) {
        bool ok = true;
        readRecord<BookEntry>(line, 9, ok);
        EXPECT_FALSE(ok) << line;
    }
}

} // namespace
} // namespace quillora
