#include "bookdata/BookEntry.h"
#include "catalog/Package.h"
#include "product/PathMacro.h"

#include "BookDataTestSupport.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

using testing::bookLine;
using testing::FakePlatform;
using testing::kDataFile;
using testing::kHeader9;
using testing::loadText;
using testing::saveText;

TEST(BookDataFile, HeaderCases) {
    struct Case {
        std::string header;
        ResultCode expected;
    };
    const Case cases[] = {
        {"zobooksdatafile 9\n", result::Success},
        {"ZOBOOKSDATAFILE 9\n", result::Success},
        {"ZoBooksDataFile 3\n", result::Success},
        {"zobooksdatafile 9 trailing\n", result::Success},
        {"zobooksdatafile 9", result::Success},
        {"zobooksdatafile\t9\n", result::BadMagic},
        {"zobooksdatafile  9\n", result::Success}, // the version may follow after blanks
        {"zobooksdatafile 2\n", result::VersionTooOld},
        {"zobooksdatafile 10\n", result::VersionTooNew},
        {"zobooksdatafilx 10\n", result::VersionTooNew}, // the version test comes last
        {"zobooksdatafilx 9\n", result::BadMagic},
        {"zobooksdatafiles 9\n", result::BadMagic},
        {"zobooksdatafile \n", result::BadMagic},
        {"zobooksdatafile nine\n", result::BadMagic},
        {"zobooksdatafile 99999999999\n", result::BadMagic},
        {"zobooksdatafile -1\n", result::VersionTooOld},
        {"zobooksdatafilx -1\n", result::BadMagic},
        {"", result::BadMagic},
    };
    for (const Case& c : cases) {
        FakePlatform fs;
        BookDataFile p;
        // A record follows, in a layout that every version shares, that would load if
        // the header let it through.
        const std::string record = "X\t1\t0\t0\tx||||||||16\t0\t0\t0\t-1\t1\t\n";
        const Status loaded = loadText(p, fs, c.header + "\n" + record);
        EXPECT_EQ(loaded.code(), c.expected) << c.header;
        EXPECT_EQ(p.loaded, c.expected == result::Success) << c.header;
        if (c.expected == result::Success) {
            EXPECT_EQ(p.allEntries.count(), 1u) << c.header;
            EXPECT_EQ(loaded.reason(), "") << c.header;
        } else {
            EXPECT_TRUE(p.allEntries.empty()) << c.header;
            EXPECT_EQ(loaded.reason().rfind("book.dat:", 0), 0u) << c.header << loaded.reason();
        }
    }
}

TEST(BookDataFile, NegativeVersionsAreRefusedBeforeAnyRecord) {
    FakePlatform fs;
    BookDataFile p;
    const Status loaded = loadText(p, fs, "zobooksdatafile -2147483648\n" + bookLine(1));
    EXPECT_EQ(loaded.code(), result::VersionTooOld);
    EXPECT_EQ(loaded.reason(), "book.dat:1: version -2147483648 is older than this tool reads (3)");
    TextCursor in(bookLine(1));
    EXPECT_EQ(p.readEntries(in, -1).code(), result::VersionTooOld);
    EXPECT_TRUE(p.allEntries.empty());
}

TEST(BookDataFile, MissingFileGives400AndSaysWhich) {
    FakePlatform fs;
    BookDataFile p;
    const Status loaded = p.load(fs, "absent.dat");
    EXPECT_EQ(loaded.code(), result::BadMagic);
    EXPECT_NE(loaded.reason().find("absent.dat"), std::string::npos);
    EXPECT_FALSE(p.loaded);
}

TEST(BookDataFile, LoadingTwiceReadsTheFileOnce) {
    FakePlatform fs;
    BookDataFile p;
    ASSERT_EQ(loadText(p, fs, kHeader9 + bookLine(1)).code(), result::Success);
    fs.files[kDataFile] = "not a book data file";
    EXPECT_EQ(p.load(fs, kDataFile).code(), result::Success);
    EXPECT_EQ(p.allEntries.count(), 1u);
    p.clear();
    EXPECT_TRUE(p.modified);
    EXPECT_EQ(p.load(fs, kDataFile).code(), result::BadMagic);
}

TEST(BookDataFile, EmptyPackageSavesTheHeaderOnly) {
    FakePlatform fs;
    BookDataFile p;
    p.modified = true;
    EXPECT_EQ(p.save(fs, kDataFile).code(), result::Success);
    EXPECT_EQ(fs.files[kDataFile], "zobooksdatafile 9\n");
    EXPECT_FALSE(p.modified);
}

TEST(BookDataFile, Version5FileIsSavedAsVersion9) {
    const std::string v5 = "zobooksdatafile 5\n"
                           "G\t1\t2\tManuals|a|b|1\t-1\n"
                           "B\t2\t3\t4\tGuide|a|b|c|d|e|2\t1\t-1\t1\t1\t1\textra|\n"
                           "L\t6\n"
                           "P\t3\t0\t4\tViewer|a|b|c|d|e|3\t0\t1\t\n"
                           "X\t4\t0\t4\tX|x8|a|b|c|d|e|f|1\t0\t0\t2\t-1\t1\t\n"
                           "Y\t5\t0\t4\tY|a|b|c|d|e|f|1\t0\t0\t2\t-1\t1\t\n"
                           "E\n";
    const std::string v9 = "zobooksdatafile 9\n"
                           "G\t1\t2\tManuals|a|b||128\t0\t-1\n"
                           "B\t2\t3\t4\tGuide|a|b||c|d|e|32\t0\t0\t1\t-1\t1\t1\t1\textra|\n"
                           "L\t6\n"
                           "P\t3\t0\t4\tViewer||a|b||c|d|e|64\t0\t0\t0\t1\t\n"
                           "X\t4\t0\t4\tX|x8|a|b|c|d|e|f|1\t0\t0\t2\t-1\t1\t\n"
                           "Y\t5\t0\t4\tY|a|b|c|d|e|f|1\t0\t0\t2\t-1\t1\t\n"
                           "E\n";
    FakePlatform fs;
    BookDataFile p;
    ASSERT_EQ(loadText(p, fs, v5).code(), result::Success);
    EXPECT_EQ(saveText(p, fs), v9);
}

TEST(BookDataFile, CrLfFilesKeepTheirLineEnds) {
    const std::string crlf = "zobooksdatafile 9\r\n"
                             "G\t1\t0\tg||||16\t0\t-1\r\n"
                             "B\t2\t0\t1\tb|||||||16\t0\t0\t0\t-1\t1\t1\t0\t\r\n"
                             "L\t4\r\n"
                             "E\r\n";
    FakePlatform fs;
    BookDataFile p;
    ASSERT_EQ(loadText(p, fs, crlf).code(), result::Success);
    EXPECT_EQ(static_cast<BookEntry*>(p.allEntries.at(1))->lValue, 4);
    EXPECT_EQ(saveText(p, fs), crlf);
}

// Finds files the way a case-insensitive file system would.
class RenamingPlatform : public FakePlatform {
public:
    Expected<FileBytes> readFile(const std::string& name) override {
        Expected<FileBytes> found = FakePlatform::readFile(name);
        if (found) {
            found->resolvedPath = ResolvedPath("/library/BOOK.DAT");
        }
        return found;
    }
};

TEST(BookDataFile, SaveWritesBackWhereTheFileWasFound) {
    RenamingPlatform fs;
    BookDataFile p;
    ASSERT_EQ(loadText(p, fs, kHeader9 + bookLine(1)).code(), result::Success);
    EXPECT_EQ(p.openedPath.text(), "/library/BOOK.DAT");
    fs.files.clear();
    EXPECT_EQ(p.save(fs, kDataFile).code(), result::Success);
    EXPECT_EQ(fs.files.count("/library/BOOK.DAT"), 1u);
    EXPECT_EQ(fs.files.count(kDataFile), 0u);
}

TEST(BookDataFile, AFailedReplaceGives402AndKeepsTheFile) {
    FakePlatform fs;
    BookDataFile p;
    const std::string v5 = "zobooksdatafile 5\nB\t1\t0\t1\tb||||||1\t0\t-1\t0\t1\t0\t\n";
    ASSERT_EQ(loadText(p, fs, v5).code(), result::Success);
    fs.readOnly.insert(kDataFile);
    p.modified = true;
    const Status saved = p.save(fs, kDataFile);
    EXPECT_EQ(saved.code(), result::WriteFailed);
    EXPECT_FALSE(p.modified);
    EXPECT_NE(saved.reason().find("read-only"), std::string::npos);
    EXPECT_EQ(saved.reason().rfind("book.dat", 0), 0u);
    EXPECT_EQ(fs.files[kDataFile], v5);
}

TEST(BookDataFile, PackageLoadExpandsTheLocationsMacros) {
    InstallDirectories directories;
    directories.home = "C:\\Quillora";
    FakePlatform fs;
    fs.files["C:\\Quillora\\books\\guide.dat"] = kHeader9 + bookLine(1);
    Package p;
    p.dataFileLocation = "$+HOME.\\books\\guide.dat";
    EXPECT_EQ(p.load(fs, directories).code(), result::Success);
    EXPECT_EQ(p.bookData.allEntries.count(), 1u);
}

} // namespace
} // namespace quillora
