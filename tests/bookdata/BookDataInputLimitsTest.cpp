// Book data files at the limits of what a file can hold: megabyte texts, NUL
// bytes, numbers of 30 digits, groups nested 100,000 deep. Each is loaded and
// saved back whole, or refused with the file, the line and why.
#include "bookdata/BookEntry.h"
#include "bookdata/GroupEntry.h"

#include "BookDataTestSupport.h"
#include "support/EveryKindLibrary.h"
#include "support/SyntheticLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillora {
namespace {

using testing::bookLine;
using testing::FakePlatform;
using testing::groupLine;
using testing::kHeader9;
using testing::loadText;
using testing::saveText;

const std::string kThirtyDigits = "123456789012345678901234567890";

// The version-9 file of every record kind with one of its texts replaced.
std::string everyKindWith(const std::string& text, const std::string& replacement) {
    std::string file = testing::everyKindLibrary(9, true);
    const std::size_t at = file.find(text);
    EXPECT_NE(at, std::string::npos) << text;
    return at == std::string::npos ? file : file.replace(at, text.size(), replacement);
}

TEST(BookDataInputLimits, MegabyteTextsAndNulBytesAreSavedBackWhole) {
    const std::string megabyte(1 << 20, 'x');
    const std::string withNul = std::string("a\0b\0", 4) + "c";
    // A text of each record kind, the optional last text of a book included.
    for (const char* text : {"Group1", "Book2", "extra 2", "Program3", "Extract4", "Extract5"}) {
        for (const std::string* value : {&megabyte, &withNul}) {
            const std::string file = everyKindWith(text, *value);
            FakePlatform fs;
            BookDataFile p;
            const Status loaded = loadText(p, fs, file);
            ASSERT_EQ(loaded.code(), result::Success) << text << ": " << loaded.reason();
            EXPECT_EQ(p.allEntries.count(), 11u) << text;
            // Not EXPECT_EQ: a megabyte in a failure message helps nobody.
            EXPECT_TRUE(saveText(p, fs) == file)
                << text << " of " << value->size() << " characters is not saved back whole";
        }
    }
}

// A large file is written out in pieces: records cut by a piece's end, and CR
// LF line ends, must come out as the same records written whole would.
TEST(BookDataInputLimits, AFileOfManyPiecesIsSavedAsItWouldBeWhole) {
    const std::int32_t directories[] = {3, 4, 150};
    for (const char* eol : {"\n", "\r\n"}) {
        bench::Rng rng(7);
        const std::string file = std::string("zobooksdatafile 9") + eol +
                                 bench::makeBookDataBody(rng, 30000, 9, eol, directories, 3);
        FakePlatform fs;
        BookDataFile p;
        const Status loaded = loadText(p, fs, file);
        ASSERT_EQ(loaded.code(), result::Success) << loaded.reason();
        TextSink whole;
        p.writeHeader(whole);
        p.writeEntries(whole);
        const std::string expected = encodeText(whole.take(), p.lineEnding);
        ASSERT_GT(expected.size(), std::size_t{3} << 20);
        EXPECT_TRUE(saveText(p, fs) == expected)
            << "line ends of " << (eol[0] == '\r' ? "CR LF" : "LF");
    }
}

TEST(BookDataInputLimits, AFileCutBeforeItsLastNewlineIsSavedBackComplete) {
    // Last lines: an L line, an E line, a record line.
    for (const std::string& whole : {testing::everyKindLibrary(9, true),
                                     std::string(kHeader9) + groupLine(1) + bookLine(2) + "E\n",
                                     std::string(kHeader9) + groupLine(1) + "E\n" + bookLine(2)}) {
        FakePlatform fs;
        BookDataFile p;
        const Status loaded = loadText(p, fs, whole.substr(0, whole.size() - 1));
        ASSERT_EQ(loaded.code(), result::Success) << whole << loaded.reason();
        EXPECT_EQ(saveText(p, fs), whole);
    }
}

TEST(BookDataInputLimits, NulBytesOutsideTextsAreRefusedOnTheirLine) {
    struct Case {
        std::string body;
        const char* diagnostic;
    };
    const Case cases[] = {
        {bookLine(1) + std::string(1, '\0') + "\n", "book.dat:3: no record begins with byte 0x00"},
        {bookLine(1) + "B\t" + std::string(1, '\0') +
             "2\t0\t1\tB|||||||16\t0\t0\t0\t-1\t0\t1\t0\t\n",
         "book.dat:3: the B record cannot be read"},
    };
    for (const Case& c : cases) {
        FakePlatform fs;
        BookDataFile p;
        const Status loaded = loadText(p, fs, kHeader9 + c.body);
        EXPECT_EQ(loaded.code(), result::BadRecordTag);
        EXPECT_EQ(loaded.reason().rfind(c.diagnostic, 0), 0u) << loaded.reason();
    }
}

TEST(BookDataInputLimits, AFileNameWithANulByteIsRefused) {
    const std::string name = std::string("C:\\Books\\a.dat") + '\0' + "x";
    FakePlatform fs;
    fs.files[name] = std::string(kHeader9) + bookLine(1);
    BookDataFile p;
    const Status loaded = p.load(fs, name);
    EXPECT_EQ(loaded.code(), result::BadMagic);
    EXPECT_EQ(loaded.reason(), "C:\\Books\\a.dat: the file name holds a NUL byte");
    EXPECT_TRUE(p.allEntries.empty());
}

// A version-9 book line whose numbers, in file order, are the given ones.
std::string bookLineWith(const std::vector<std::string>& n) {
    testing::BookFields b;
    std::string* const numbers[] = {&b.id,        &b.aux,       &b.directory,   &b.typeBits,
                                    &b.levelCode, &b.extraFlag, &b.displayKind, &b.active,
                                    &b.hasLValue, &b.maintain,  &b.hasExtraText};
    for (std::size_t i = 0; i < n.size(); ++i) {
        *numbers[i] = n[i];
    }
    return testing::bookLine(b);
}

TEST(BookDataInputLimits, NumbersOfThirtyDigitsAreRefusedOnTheirLine) {
    struct Case {
        std::string body;
        unsigned line;
    };
    const std::vector<std::string> plain = {"1", "0",  "1", "16", "0", "0",
                                            "0", "-1", "0", "1",  "0"};
    std::vector<Case> cases;
    // Ten digits, just past 32 bits, would wrap to 0 if read as a short number.
    for (const std::string& tooLong : {kThirtyDigits, std::string("4294967296")}) {
        for (std::size_t i = 0; i < plain.size(); ++i) {
            std::vector<std::string> numbers = plain;
            numbers[i] = (i == 7 ? "-" : "") + tooLong; // the active flag, negative
            cases.push_back({bookLineWith(numbers), 2});
        }
    }
    cases.push_back({"G\t" + kThirtyDigits + "\t0\tGroup||||16\t0\t-1\n", 2});
    cases.push_back({bookLine(1, 1) + "L\t" + kThirtyDigits + "\n", 3});
    for (const Case& c : cases) {
        FakePlatform fs;
        BookDataFile p;
        const Status loaded = loadText(p, fs, kHeader9 + c.body);
        EXPECT_EQ(loaded.code(), result::BadRecordTag) << c.body;
        EXPECT_EQ(loaded.reason().rfind("book.dat:" + std::to_string(c.line) + ": ", 0), 0u)
            << loaded.reason();
    }
    FakePlatform fs;
    BookDataFile header;
    const Status headerLoaded = loadText(header, fs, "zobooksdatafile " + kThirtyDigits + "\n");
    EXPECT_EQ(headerLoaded.code(), result::BadMagic);
    EXPECT_EQ(headerLoaded.reason().rfind("book.dat:1: ", 0), 0u) << headerLoaded.reason();
}

TEST(BookDataInputLimits, LeadingZerosMakeNoNumberTooLong) {
    const std::string zeros(28, '0');
    std::vector<std::string> numbers = {zeros + "07",      "0", zeros + "05", "16", "0", "0", "0",
                                        "-" + zeros + "1", "0", "1",          "0"};
    FakePlatform fs;
    BookDataFile p;
    const Status loaded =
        loadText(p, fs, "zobooksdatafile " + zeros + "09\n" + bookLineWith(numbers));
    ASSERT_EQ(loaded.code(), result::Success) << loaded.reason();
    const auto* book = static_cast<const BookEntry*>(p.allEntries.at(0));
    EXPECT_EQ(book->id, 7);
    EXPECT_EQ(book->directoryId, 5);
    EXPECT_EQ(book->active, -1);
}

TEST(BookDataInputLimits, GroupsNestedAHundredThousandDeepAreSavedBackWhole) {
    constexpr int kDepth = 100000;
    std::string opened = kHeader9;
    for (int id = 1; id <= kDepth; ++id) {
        opened += groupLine(id);
    }
    opened += bookLine(kDepth + 1);
    std::string closed = opened;
    for (int i = 0; i < kDepth; ++i) {
        closed += "E\n";
    }
    // Closed by their E lines, and left open at the end of the file.
    for (const std::string* file : {&closed, &opened}) {
        FakePlatform fs;
        BookDataFile p;
        const Status loaded = loadText(p, fs, *file);
        ASSERT_EQ(loaded.code(), result::Success) << loaded.reason();
        ASSERT_EQ(p.allEntries.count(), static_cast<std::size_t>(kDepth) + 1);
        EXPECT_EQ(p.rootEntries.count(), 1u);
        EXPECT_EQ(static_cast<const LibraryEntry*>(p.allEntries.at(kDepth)->parent),
                  p.allEntries.at(kDepth - 1));
        EXPECT_TRUE(saveText(p, fs) == closed) << "the saved file is not the nested one read";
    }
}

} // namespace
} // namespace quillora
