#include "catalog/CatalogTestSupport.h"
#include "catalog/DirectoryItem.h"
#include "catalog/MarkedItem.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

using testing::readCatalogText;
using testing::v9;

const DirectoryItem& directory(const Package& package, std::size_t i) {
    const PackageItem* item = package.items.at(i);
    EXPECT_EQ(item->kind, 'D');
    return *static_cast<const DirectoryItem*>(item);
}

const MarkedItem& marked(const Package& package, std::size_t i) {
    const PackageItem* item = package.items.at(i);
    EXPECT_EQ(item->kind, 'A');
    return *static_cast<const MarkedItem*>(item);
}

TEST(CatalogReader, HeaderWordAndVersionDecideTheResult) {
    struct Case {
        const char* text;
        ResultCode expected;
    };
    const Case cases[] = {
        {"Version 9\n[Categories]\n", 0},
        {"VERSION 9\n[Categories]\n", 0},
        {"version\t9 trailing words\n[Categories]\n", 0},
        {"Version 5\n[Categories]\n", 0},
        {"Version 10\n[Categories]\n", 603},
        {"Version 4\n[Categories]\n", 404},
        {"Version 0\n", 404},
        {" Version 9\n[Categories]\n", 601},
        {"\nVersion 9\n[Categories]\n", 601},
        {"", 601},
        {"Versions 9\n[Categories]\n", 601},
        {"Version9\n[Categories]\n", 601},
        {"Quillora 9\n[Categories]\n", 601},
        // Our decisions: a version that is no number, and no section line at all.
        {"Version nine\n[Categories]\n", 601},
        {"Version -1\n[Categories]\n", 601},
        {"Version 99999999999\n[Categories]\n", 601},
        {"Version\n", 601},
        {"Version 9\nWELCOME=x\nMODE=y\n", 601},
        {"Version 9", 601},
        {"Version 9\nSEARCH=a|b", 601},
    };
    for (const Case& c : cases) {
        LibraryCatalog catalog;
        const Status read = readCatalogText(catalog, c.text);
        EXPECT_EQ(read.code(), c.expected) << c.text;
        if (c.expected != 0) {
            EXPECT_EQ(read.reason().rfind("Quillora.ini:", 0), 0u) << read.reason();
        } else {
            EXPECT_EQ(read.reason(), "");
        }
    }
}

TEST(CatalogReader, MissingFileIsNotACatalogue) {
    LibraryCatalog catalog;
    testing::FakePlatform platform;
    catalog.catalogFileName = testing::kCatalogName;
    const Status read = catalog.readCatalog(platform);
    EXPECT_EQ(read.code(), 601);
    EXPECT_EQ(catalog.openedPath.text(), "");
    // No line of a file that is not there is at fault.
    EXPECT_EQ(read.reason().rfind("Quillora.ini: cannot read the file", 0), 0u) << read.reason();
}

TEST(CatalogReader, RejectedVersionsLeaveTheCatalogueUnchanged) {
    for (const char* header : {"Version 4\n", "Version 10\n", "Version x\n"}) {
        LibraryCatalog catalog;
        static_cast<void>(readCatalogText(catalog, std::string(header) +
                                                       "WELCOME=w\nSEARCH=a|b|T|\n[Categories]\n"
                                                       "1\t0\tN|\n[P:Q]\na\nb\n0\tactive\n"));
        EXPECT_FALSE(catalog.hasWelcome) << header;
        EXPECT_TRUE(catalog.searches.empty()) << header;
        EXPECT_TRUE(catalog.body.categories.empty()) << header;
        EXPECT_TRUE(catalog.body.packages.empty()) << header;
    }
}

TEST(CatalogReader, KeyLinesGoByTheirFirstCharacter) {
    LibraryCatalog catalog;
    ASSERT_EQ(readCatalogText(catalog, "Version 9\n"
                                       "MODE\n"
                                       "Wxyz=abc=x\n"
                                       "\n"
                                       "search=no|no|T|\n"
                                       "Xtra=1\n"
                                       "SEARCH=a|b|t|\n"
                                       "SEARCH=c|d|F|WELCOME=second\n"
                                       "iNIT=\n"
                                       " MODE=indented\n"
                                       "[anything]\n")
                  .code(),
              0);
    EXPECT_TRUE(catalog.hasMode);
    EXPECT_EQ(catalog.mode, "");
    EXPECT_TRUE(catalog.hasWelcome);
    // What follows a SEARCH line's third bar is a key line of its own; the last
    // WELCOME wins.
    EXPECT_EQ(catalog.welcome, "second");
    EXPECT_TRUE(catalog.hasInit);
    EXPECT_EQ(catalog.init, "");
    ASSERT_EQ(catalog.searches.count(), 2u);
    EXPECT_EQ(catalog.searches.at(0)->text1, "a");
    EXPECT_EQ(catalog.searches.at(0)->text2, "b");
    EXPECT_TRUE(catalog.searches.at(0)->flag);
    EXPECT_EQ(catalog.searches.at(1)->text1, "c");
    EXPECT_EQ(catalog.searches.at(1)->text2, "d");
    EXPECT_FALSE(catalog.searches.at(1)->flag);
}

TEST(CatalogReader, RepeatedKeysKeepTheLastValue) {
    LibraryCatalog catalog;
    ASSERT_EQ(
        readCatalogText(catalog, "Version 9\nWELCOME=x\nwelcome=y\nMODE=1\nMODE=2\n[C]\n").code(),
        0);
    EXPECT_EQ(catalog.welcome, "y");
    EXPECT_EQ(catalog.mode, "2");
    EXPECT_FALSE(catalog.hasInit);
}

TEST(CatalogReader, CategoryLinesFollowTheVersion) {
    struct Case {
        std::uint32_t version;
        const char* line;
        std::uint8_t typeBits;
        const char* text2;
        std::uint32_t values[3];
    };
    const Case cases[] = {
        {5, "3\t2\tN|\n", 0x20, "", {0, 0, 0}},
        {5, "3\t0\tN|\n", 0x10, "", {0, 0, 0}},
        {5, "3\t1\tN|\n", 0x80, "", {0, 0, 0}},
        {5, "3\t3\tN|\n", 0x40, "", {0, 0, 0}},
        {5, "3\t7\tN|\n", 0x10, "", {0, 0, 0}},
        {5, "3\t2\tN|M|1 2 3|\n", 0x20, "", {0, 0, 0}},
        {6, "3\t2\tN|M|1 2 3|\n", 0x20, "M", {1, 2, 3}},
        {7, "3\t2\tN|M|1 2 3|\n", 2, "M", {1, 2, 3}},
        {9, "3\t128\tN|M|4\t5  6|\n", 128, "M", {4, 5, 6}},
        {9, "3\t-1\tN|M|0 0 4294967295|\n", 255, "M", {0, 0, 4294967295u}},
    };
    for (const Case& c : cases) {
        LibraryCatalog catalog;
        std::string text = "Version " + std::to_string(c.version) + "\n[Categories]\n" + c.line +
                           "4\t0\tNext|T|0 0 0|\n";
        ASSERT_EQ(readCatalogText(catalog, text).code(), 0) << text;
        ASSERT_EQ(catalog.body.categories.count(), 2u) << text;
        const Category& category = *catalog.body.categories.at(0);
        EXPECT_EQ(category.number, 3u) << text;
        EXPECT_EQ(category.typeBits, c.typeBits) << text;
        EXPECT_EQ(category.name, "N") << text;
        EXPECT_EQ(category.text2, c.text2) << text;
        EXPECT_EQ(category.value1, c.values[0]) << text;
        EXPECT_EQ(category.value2, c.values[1]) << text;
        EXPECT_EQ(category.value3, c.values[2]) << text;
        EXPECT_EQ(catalog.body.categories.at(1)->number, 4u) << text;
    }
}

TEST(CatalogReader, UnreadableCategoryStopsWith404AndKeepsWhatCameBefore) {
    LibraryCatalog catalog;
    const Status read =
        readCatalogText(catalog, "Version 9\nWELCOME=w\nSEARCH=a|b|T|\n[Categories]\n"
                                 "1\t0\tA|B|1 2 3|\n"
                                 "2\tx\tB|C|1 2 3|\n"
                                 "[P:Q]\nloc\nsecond\n0\tactive\n");
    EXPECT_EQ(read.code(), 404);
    EXPECT_EQ(catalog.welcome, "w");
    EXPECT_EQ(catalog.searches.count(), 1u);
    EXPECT_EQ(catalog.body.categories.count(), 1u);
    EXPECT_TRUE(catalog.body.packages.empty());
    EXPECT_EQ(read.reason().rfind("Quillora.ini:6: ", 0), 0u) << read.reason();
}

TEST(CatalogReader, EmptyLineEndsTheCategories) {
    LibraryCatalog catalog;
    ASSERT_EQ(readCatalogText(catalog, v9("1\t0\tA|B|1 2 3|\n"
                                          "\n"
                                          "2\t0\tB|C|1 2 3|\n"
                                          "[P:Q]\nloc\nsecond\n0\tactive\n"))
                  .code(),
              0);
    EXPECT_EQ(catalog.body.categories.count(), 1u);
    EXPECT_EQ(catalog.body.packages.count(), 1u);
}

TEST(CatalogReader, SectionHeaderSplitsAtColons) {
    struct Case {
        const char* header;
        const char* name;
        const char* qualifier;
    };
    const Case cases[] = {
        {"[Name]", "Name", ""},
        {"[Name:Qual]", "Name", "Qual"},
        {"[A:B:C]", "A", "B"},
        {"[]", "", ""},
        {"[Name:]", "Name", ""},
        {"[::Name:Qual]", "Name", "Qual"},
        {"[A::B]", "A", "B"},
        {"[Name:Qual]junk", "Name", "Qual"},
        {"[Two words:Q w]", "Two words", "Q w"},
    };
    for (const Case& c : cases) {
        LibraryCatalog catalog;
        std::string text = v9(std::string(c.header) + "\nloc\nsecond\n7\tactive\n");
        ASSERT_EQ(readCatalogText(catalog, text).code(), 0) << text;
        ASSERT_EQ(catalog.body.packages.count(), 1u) << text;
        const Package& package = *catalog.body.packages.at(0);
        EXPECT_EQ(package.name, c.name) << text;
        EXPECT_EQ(package.qualifier, c.qualifier) << text;
        EXPECT_EQ(package.dataFileLocation, "loc") << text;
        EXPECT_EQ(package.secondPath, "second") << text;
        EXPECT_EQ(package.number, 7u) << text;
        EXPECT_TRUE(package.modified) << text;
    }
}

TEST(CatalogReader, OnlyALowerCaseAMakesAPackageActive) {
    struct Case {
        const char* word;
        bool active;
    };
    const Case cases[] = {{"active", true}, {"Active", false}, {"deleted", false}, {"a", true},
                          {"", false},      {"ACTIVE", false}, {"anything", true}};
    for (const Case& c : cases) {
        LibraryCatalog catalog;
        ASSERT_EQ(
            readCatalogText(catalog, v9(std::string("[P:Q]\nl\ns\n12\t") + c.word + "\n")).code(),
            0);
        EXPECT_EQ(catalog.body.packages.at(0)->active, c.active) << c.word;
    }
}

TEST(CatalogReader, LettersLeadItemLinesFromVersion8) {
    const std::string section = "[P:Q]\nloc\nsecond\n0\tactive\n"
                                "D\t5\tC:\\Books\\Five\n"
                                "X\tskipped line\n"
                                "Y\n" // no TAB: skipping it must not reach into the next line
                                "A\t6\th\tmarked text\n"
                                "d\t7\tlower\n"
                                "a\t8\tU\tunmarked\n"
                                "Dir\t9\tlong letter word\n"
                                "3\tdigit ends the items\n"
                                "D\t10\toutside the section\n";
    for (const char* version : {"8", "9"}) {
        LibraryCatalog catalog;
        ASSERT_EQ(readCatalogText(catalog,
                                  std::string("Version ") + version + "\n[Categories]\n" + section)
                      .code(),
                  0);
        const Package& package = *catalog.body.packages.at(0);
        ASSERT_EQ(package.items.count(), 5u) << version;
        EXPECT_EQ(directory(package, 0).id, 5);
        EXPECT_EQ(directory(package, 0).path, "C:\\Books\\Five");
        EXPECT_EQ(marked(package, 1).id, 6);
        EXPECT_EQ(marked(package, 1).mark, 'H');
        EXPECT_EQ(marked(package, 1).text, "marked text");
        EXPECT_EQ(directory(package, 2).path, "lower");
        EXPECT_EQ(marked(package, 3).mark, 0);
        EXPECT_EQ(marked(package, 3).text, "unmarked");
        EXPECT_EQ(directory(package, 4).id, 9);
        EXPECT_EQ(directory(package, 4).path, "long letter word");
    }
}

TEST(CatalogReader, DigitsLeadItemLinesBeforeVersion8) {
    const std::string section = "[P:Q]\nloc\nsecond\n0\tactive\n5\tC:\\Five\n6\tSix\n-7\tends\n";
    for (std::uint32_t version = 5; version <= 9; ++version) {
        LibraryCatalog catalog;
        ASSERT_EQ(readCatalogText(catalog, "Version " + std::to_string(version) +
                                               "\n[Categories]\n" + section)
                      .code(),
                  0);
        const Package& package = *catalog.body.packages.at(0);
        if (version >= 8) {
            EXPECT_TRUE(package.items.empty()) << version;
            continue;
        }
        ASSERT_EQ(package.items.count(), 2u) << version;
        EXPECT_EQ(directory(package, 0).id, 5);
        EXPECT_EQ(directory(package, 0).path, "C:\\Five");
        EXPECT_EQ(directory(package, 1).id, 6);
        EXPECT_EQ(directory(package, 1).path, "Six");
    }
}

TEST(CatalogReader, FirstItemWithAnIdentifierWins) {
    LibraryCatalog catalog;
    ASSERT_EQ(
        readCatalogText(catalog, v9("[P:Q]\nl\ns\n0\tactive\n"
                                    "D\t5\tfirst\nD\t5\tsecond\nA\t5\tH\tthird\nD\t6\tnext\n"))
            .code(),
        0);
    const Package& package = *catalog.body.packages.at(0);
    ASSERT_EQ(package.items.count(), 2u);
    EXPECT_EQ(directory(package, 0).path, "first");
    EXPECT_EQ(directory(package, 1).id, 6);
}

TEST(CatalogReader, HighItemIdFollowsTheGreatestIdentifierAbove100) {
    struct Case {
        const char* items;
        std::int32_t high;
    };
    const Case cases[] = {{"D\t3\ta\nD\t150\tb\nD\t7\tc\n", 150},
                          {"D\t3\ta\nD\t7\tc\n", 100},
                          {"D\t-500\ta\nA\t120\tH\tt\nD\t101\tc\n", 120},
                          {"", 100}};
    for (const Case& c : cases) {
        LibraryCatalog catalog;
        ASSERT_EQ(
            readCatalogText(catalog, v9(std::string("[P:Q]\nl\ns\n0\tactive\n") + c.items)).code(),
            0);
        const Package& package = *catalog.body.packages.at(0);
        EXPECT_EQ(package.highItemId, c.high) << c.items;
        EXPECT_TRUE(package.modified);
    }
}

TEST(CatalogReader, LinesOutsideSectionsAreSkipped) {
    LibraryCatalog catalog;
    ASSERT_EQ(readCatalogText(catalog, v9("junk before\n\n[One:Q]\nl\ns\n0\tactive\nD\t1\tp\n\n"
                                          "stray words\n[Two:Q]\nl\ns\n1\tdeleted\n"))
                  .code(),
              0);
    ASSERT_EQ(catalog.body.packages.count(), 2u);
    EXPECT_EQ(catalog.body.packages.at(0)->name, "One");
    EXPECT_EQ(catalog.body.packages.at(1)->name, "Two");
    EXPECT_FALSE(catalog.body.packages.at(1)->active);
}

TEST(CatalogReader, AFileWithoutANewlineAtItsEndIsReadCompletely) {
    struct Case {
        const char* tail;
        std::size_t items;
        const char* lastPath;
    };
    const Case cases[] = {{"D\t5\tlast", 1, "last"},
                          {"D\t5\t", 1, ""},
                          {"A\t5\tH\tmarked", 1, nullptr},
                          {"", 0, nullptr}};
    for (const Case& c : cases) {
        LibraryCatalog catalog;
        std::string text = v9(std::string("[P:Q]\nl\ns\n0\tactive\n") + c.tail);
        ASSERT_EQ(readCatalogText(catalog, text).code(), 0) << text;
        const Package& package = *catalog.body.packages.at(0);
        ASSERT_EQ(package.items.count(), c.items) << text;
        if (c.lastPath != nullptr) {
            EXPECT_EQ(directory(package, 0).path, c.lastPath);
        }
    }
    LibraryCatalog statusLast;
    ASSERT_EQ(readCatalogText(statusLast, v9("[P:Q]\nl\ns\n0\tactive")).code(), 0);
    EXPECT_TRUE(statusLast.body.packages.at(0)->active);
    LibraryCatalog sectionLineLast;
    EXPECT_EQ(readCatalogText(sectionLineLast, "Version 9\nWELCOME=w\n[Categories]").code(), 0);
    EXPECT_EQ(sectionLineLast.welcome, "w");
    LibraryCatalog categoryLast;
    ASSERT_EQ(readCatalogText(categoryLast, v9("1\t2\tN|T|1 2 3|")).code(), 0);
    EXPECT_EQ(categoryLast.body.categories.at(0)->value3, 3u);
}

TEST(CatalogReader, ItemLineThatCannotBeReadStopsTheRead) {
    struct Case {
        const char* items;
        unsigned line;
    };
    // The section starts on line 3, its first item line is line 7.
    const Case cases[] = {{"D\tx\tpath\nD\t6\tafter\n[Next:Q]\n", 7},
                          {"D\t5\tok\nA\t\tH\ttext\n[Next:Q]\n", 8},
                          {"D\t99999999999\ttoo big\n", 7},
                          {"D\t5", 7},
                          {"A\t5\tH", 7}};
    for (const Case& c : cases) {
        LibraryCatalog catalog;
        std::string text = v9(std::string("[P:Q]\nl\ns\n0\tactive\n") + c.items);
        const Status read = readCatalogText(catalog, text);
        EXPECT_EQ(read.code(), 404) << text;
        EXPECT_EQ(read.reason().rfind("Quillora.ini:" + std::to_string(c.line) + ": ", 0), 0u)
            << read.reason();
        EXPECT_TRUE(catalog.body.packages.empty());
    }
    LibraryCatalog version7;
    EXPECT_EQ(readCatalogText(version7, "Version 7\n[C]\n[P:Q]\nl\ns\n0\tactive\n5").code(), 404);
}

TEST(CatalogReader, ASectionCutShortStopsTheRead) {
    for (const char* section :
         {"[P:Q", "[P:Q\nloc\nsecond\n0\tactive\n",
          "[P:Q\nloc\nsecond\n0\tactive\n[Next:R]\nl\ns\n0\tactive\n", "[P:Q]", "[P:Q]\nloc",
          "[P:Q]\nloc\nsecond\n", "[P:Q]\nloc\nsecond\nactive\n"}) {
        LibraryCatalog catalog;
        const Status read = readCatalogText(catalog, v9(section));
        EXPECT_EQ(read.code(), 404) << section;
        EXPECT_FALSE(read.reason().empty());
    }
}

TEST(CatalogReader, LongFieldsAreReadWhole) {
    const std::string longPath(300, 'p');
    const std::string longName(280, 'n');
    const std::string longWord = "active" + std::string(40, 'x');
    LibraryCatalog catalog;
    ASSERT_EQ(readCatalogText(catalog, "Version 9\nWELCOME=" + longPath + "\n[Categories]\n1\t0\t" +
                                           longName + "|" + longPath + "|1 2 3|\n[" + longName +
                                           ":Q]\n" + longPath + "\ns\n0\t" + longWord + "\nD\t5\t" +
                                           longPath + "\n")
                  .code(),
              0);
    EXPECT_EQ(catalog.welcome, longPath);
    EXPECT_EQ(catalog.body.categories.at(0)->name, longName);
    EXPECT_EQ(catalog.body.categories.at(0)->text2, longPath);
    const Package& package = *catalog.body.packages.at(0);
    EXPECT_EQ(package.name, longName);
    EXPECT_EQ(package.dataFileLocation, longPath);
    EXPECT_TRUE(package.active);
    EXPECT_EQ(directory(package, 0).path, longPath);
}

TEST(CatalogReader, CrLfLineEndsAreOneNewline) {
    LibraryCatalog catalog;
    ASSERT_EQ(readCatalogText(catalog, "Version 9\r\nMODE=m\r\n[Categories]\r\n1\t0\tA|B|1 2 3|\r\n"
                                       "[P:Q]\r\nloc\r\nsecond\r\n0\tactive\r\nD\t5\tpath\r\n\r\n")
                  .code(),
              0);
    EXPECT_EQ(catalog.lineEnding, LineEnding::CrLf);
    EXPECT_EQ(catalog.mode, "m");
    EXPECT_EQ(catalog.body.categories.count(), 1u);
    const Package& package = *catalog.body.packages.at(0);
    EXPECT_EQ(package.secondPath, "second");
    EXPECT_EQ(directory(package, 0).path, "path");
    EXPECT_EQ(catalog.openedPath.text(), "Quillora.ini");
}

} // namespace
} // namespace quillora
