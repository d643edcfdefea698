#include "catalog/CatalogTestSupport.h"
#include "catalog/DirectoryItem.h"
#include "catalog/MarkedItem.h"

#include <gtest/gtest.h>

#include <memory>

namespace quillora {
namespace {

using testing::addDirectory;
using testing::readCatalogText;

Package& addPackage(LibraryCatalog& catalog, const std::string& name) {
    auto package = std::make_unique<Package>();
    Package& added = *package;
    added.name = name;
    catalog.body.packages.append(std::move(package));
    return added;
}

void addMarked(Package& package, std::int32_t id, char mark, const std::string& text) {
    auto item = std::make_unique<MarkedItem>();
    item->id = id;
    item->mark = mark;
    item->text = text;
    package.items.append(std::move(item));
}

// A catalogue with something of every kind; long texts included.
void fillSample(LibraryCatalog& catalog) {
    catalog.hasWelcome = true;
    catalog.welcome = "Welcome to the library";
    catalog.hasMode = true;
    catalog.hasInit = true;
    catalog.init = std::string(300, 'i');
    for (bool flag : {true, false}) {
        auto search = std::make_unique<SearchEntry>();
        search->text1 = flag ? "title" : "";
        search->text2 = "C:\\Index";
        search->flag = flag;
        catalog.searches.append(std::move(search));
    }
    auto category = std::make_unique<Category>();
    category->number = 4294967295u;
    category->name = "History";
    category->text2 = "Old";
    category->value1 = 1;
    category->value2 = 0;
    category->value3 = 77;
    category->typeBits = 0x80;
    catalog.body.categories.append(std::move(category));
    catalog.body.categories.append(std::make_unique<Category>());

    Package& first = addPackage(catalog, "First");
    first.qualifier = "Q1";
    first.dataFileLocation = "$+HOME.\\books\\first.dat";
    first.secondPath = "C:\\" + std::string(290, 's');
    first.number = 12;
    addDirectory(first, 5, "$+CD.\\five");
    addDirectory(first, -3, "");
    addMarked(first, 150, 'H', "marked");
    addMarked(first, 7, 0, "unmarked");
    Package& second = addPackage(catalog, "Second");
    second.active = false;
}

TEST(CatalogWriter, EmptyCatalogueIsTwoLines) {
    LibraryCatalog catalog;
    EXPECT_EQ(catalog.formatCatalog(), "Version 9\n[Categories]\n");
}

TEST(CatalogWriter, WritesTheVersion9Layout) {
    LibraryCatalog catalog;
    fillSample(catalog);
    addPackage(catalog, "");
    addPackage(catalog, "Last");
    EXPECT_EQ(catalog.formatCatalog(), "Version 9\n"
                                       "WELCOME=Welcome to the library\n"
                                       "MODE=\n"
                                       "INIT=" +
                                           std::string(300, 'i') +
                                           "\n"
                                           "SEARCH=title|C:\\Index|T|\n"
                                           "SEARCH=|C:\\Index|F|\n"
                                           "[Categories]\n"
                                           "4294967295\t128\tHistory|Old|1 0 77|\n"
                                           "0\t16\t||0 0 0|\n"
                                           "[First:Q1]\n"
                                           "$+HOME.\\books\\first.dat\n"
                                           "C:\\" +
                                           std::string(290, 's') +
                                           "\n"
                                           "12\tactive\n"
                                           "D\t5\t$+CD.\\five\n"
                                           "D\t-3\t\n"
                                           "A\t150\tH\tmarked\n"
                                           "A\t7\tU\tunmarked\n"
                                           "\n"
                                           "[Second:]\n"
                                           "\n"
                                           "\n"
                                           "0\tdeleted\n"
                                           "\n"
                                           "\n" // the package without a name
                                           "[Last:]\n\n\n0\tactive\n\n");
}

TEST(CatalogWriter, KeysComeOutInAFixedOrderAndOnlyWhenRead) {
    LibraryCatalog catalog;
    ASSERT_EQ(readCatalogText(catalog, "Version 9\nSEARCH=a|b|T|\nINIT=i\nMODE\nWELCOME=w\n"
                                       "SEARCH=c|d|x|\n[C]\n")
                  .code(),
              0);
    EXPECT_EQ(catalog.formatCatalog(), "Version 9\nWELCOME=w\nMODE=\nINIT=i\n"
                                       "SEARCH=a|b|T|\nSEARCH=c|d|F|\n[Categories]\n");
    LibraryCatalog onlyMode;
    ASSERT_EQ(readCatalogText(onlyMode, "Version 9\nMODE=m\n[C]\n").code(), 0);
    EXPECT_EQ(onlyMode.formatCatalog(), "Version 9\nMODE=m\n[Categories]\n");
}

void expectSameModel(const LibraryCatalog& a, const LibraryCatalog& b) {
    EXPECT_EQ(a.hasWelcome, b.hasWelcome);
    EXPECT_EQ(a.welcome, b.welcome);
    EXPECT_EQ(a.hasInit, b.hasInit);
    EXPECT_EQ(a.init, b.init);
    EXPECT_EQ(a.hasMode, b.hasMode);
    EXPECT_EQ(a.mode, b.mode);
    ASSERT_EQ(a.searches.count(), b.searches.count());
    for (std::size_t i = 0; i < a.searches.count(); ++i) {
        EXPECT_EQ(a.searches.at(i)->text1, b.searches.at(i)->text1);
        EXPECT_EQ(a.searches.at(i)->text2, b.searches.at(i)->text2);
        EXPECT_EQ(a.searches.at(i)->flag, b.searches.at(i)->flag);
    }
    ASSERT_EQ(a.body.categories.count(), b.body.categories.count());
    for (std::size_t i = 0; i < a.body.categories.count(); ++i) {
        const Category& x = *a.body.categories.at(i);
        const Category& y = *b.body.categories.at(i);
        EXPECT_EQ(x.number, y.number);
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.text2, y.text2);
        EXPECT_EQ(x.value1, y.value1);
        EXPECT_EQ(x.value2, y.value2);
        EXPECT_EQ(x.value3, y.value3);
        EXPECT_EQ(x.typeBits, y.typeBits);
    }
    ASSERT_EQ(a.body.packages.count(), b.body.packages.count());
    for (std::size_t i = 0; i < a.body.packages.count(); ++i) {
        const Package& x = *a.body.packages.at(i);
        const Package& y = *b.body.packages.at(i);
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.qualifier, y.qualifier);
        EXPECT_EQ(x.dataFileLocation, y.dataFileLocation);
        EXPECT_EQ(x.secondPath, y.secondPath);
        EXPECT_EQ(x.number, y.number);
        EXPECT_EQ(x.active, y.active);
        ASSERT_EQ(x.items.count(), y.items.count());
        for (std::size_t j = 0; j < x.items.count(); ++j) {
            const PackageItem* p = x.items.at(j);
            const PackageItem* q = y.items.at(j);
            ASSERT_EQ(p->kind, q->kind);
            EXPECT_EQ(p->id, q->id);
            if (p->kind == DirectoryItem::kKind) {
                EXPECT_EQ(static_cast<const DirectoryItem*>(p)->path,
                          static_cast<const DirectoryItem*>(q)->path);
            } else {
                EXPECT_EQ(static_cast<const MarkedItem*>(p)->mark,
                          static_cast<const MarkedItem*>(q)->mark);
                EXPECT_EQ(static_cast<const MarkedItem*>(p)->text,
                          static_cast<const MarkedItem*>(q)->text);
            }
        }
    }
}

TEST(CatalogWriter, WriteThenReadGivesTheSameModel) {
    LibraryCatalog original;
    fillSample(original);
    const std::string text = original.formatCatalog();
    LibraryCatalog readBack;
    const Status read = readCatalogText(readBack, text);
    ASSERT_EQ(read.code(), 0) << read.reason();
    expectSameModel(original, readBack);
    EXPECT_EQ(readBack.body.packages.at(0)->highItemId, 150);
    EXPECT_EQ(readBack.formatCatalog(), text);
}

TEST(CatalogWriter, AVersion5FileComesOutAsVersion9) {
    LibraryCatalog catalog;
    ASSERT_EQ(readCatalogText(catalog, "Version 5\n"
                                       "WELCOME=w\n"
                                       "[Categories]\n"
                                       "3\t1\tName|\n"
                                       "4\t2\tOther|\n"
                                       "[Pkg:Q]\n"
                                       "C:\\Data\\pkg.dat\n"
                                       "C:\\Data\n"
                                       "2\tactive\n"
                                       "5\tD:\\Books\n"
                                       "120\tC:\\Copied\n"
                                       "\n"
                                       "[Gone:Q]\n"
                                       "x\n"
                                       "y\n"
                                       "3\tremoved\n")
                  .code(),
              0);
    EXPECT_EQ(catalog.formatCatalog(), "Version 9\n"
                                       "WELCOME=w\n"
                                       "[Categories]\n"
                                       "3\t128\tName||0 0 0|\n"
                                       "4\t32\tOther||0 0 0|\n"
                                       "[Pkg:Q]\n"
                                       "C:\\Data\\pkg.dat\n"
                                       "C:\\Data\n"
                                       "2\tactive\n"
                                       "D\t5\tD:\\Books\n"
                                       "D\t120\tC:\\Copied\n"
                                       "\n"
                                       "[Gone:Q]\n"
                                       "x\n"
                                       "y\n"
                                       "3\tdeleted\n"
                                       "\n");
}

TEST(CatalogWriter, WriterLeavesTheModelAlone) {
    LibraryCatalog catalog;
    fillSample(catalog);
    catalog.body.packages.at(0)->modified = false;
    catalog.body.packages.at(1)->modified = true;
    catalog.formatCatalog();
    EXPECT_FALSE(catalog.body.packages.at(0)->modified);
    EXPECT_TRUE(catalog.body.packages.at(1)->modified);
}

TEST(CatalogWriter, WritesBackToTheFileThatWasReadWithItsLineEnds) {
    const std::string crlf = "Version 7\r\nMODE=m\r\n[Categories]\r\n1\t0\tA|B|1 2 3|\r\n"
                             "[P:Q]\r\nloc\r\nsecond\r\n0\tactive\r\n5\tpath\r\n";
    testing::FakePlatform platform;
    platform.files["Quillora.ini"] = crlf;
    LibraryCatalog catalog;
    catalog.catalogFileName = "Quillora.ini";
    ASSERT_EQ(catalog.readCatalog(platform).code(), 0);
    EXPECT_EQ(catalog.writeCatalog(platform).code(), 0);
    EXPECT_EQ(platform.files["Quillora.ini"],
              "Version 9\r\nMODE=m\r\n[Categories]\r\n1\t0\tA|B|1 2 3|\r\n"
              "[P:Q]\r\nloc\r\nsecond\r\n0\tactive\r\nD\t5\tpath\r\n\r\n");
    EXPECT_EQ(platform.disk.renameCount, 1);

    LibraryCatalog lf;
    lf.catalogFileName = "Quillora.ini";
    platform.files["Quillora.ini"] = "Version 9\n[Categories]\n";
    ASSERT_EQ(lf.readCatalog(platform).code(), 0);
    lf.catalogFileName = "elsewhere.ini"; // the file that was read wins
    EXPECT_EQ(lf.writeCatalog(platform).code(), 0);
    EXPECT_EQ(platform.files["Quillora.ini"], "Version 9\n[Categories]\n");
    EXPECT_EQ(platform.files.count("elsewhere.ini"), 0u);
}

TEST(CatalogWriter, NothingReadWritesToTheCatalogueName) {
    testing::FakePlatform platform;
    LibraryCatalog catalog;
    catalog.catalogFileName = "New.ini";
    EXPECT_EQ(catalog.writeCatalog(platform).code(), 0);
    EXPECT_EQ(platform.files["New.ini"], "Version 9\n[Categories]\n");
}

TEST(CatalogWriter, ReadOnlyTargetGives602AndStaysUnchanged) {
    const std::string before = "Version 8\n[Categories]\n[P:Q]\nl\ns\n0\tactive\n";
    testing::FakePlatform platform;
    platform.files["Quillora.ini"] = before;
    platform.readOnly.insert("Quillora.ini");
    LibraryCatalog catalog;
    catalog.catalogFileName = "Quillora.ini";
    ASSERT_EQ(catalog.readCatalog(platform).code(), 0);
    const Status written = catalog.writeCatalog(platform);
    EXPECT_EQ(written.code(), 602);
    EXPECT_EQ(platform.files["Quillora.ini"], before);
    EXPECT_EQ(written.reason().rfind("Quillora.ini:", 0), 0u) << written.reason();
    EXPECT_NE(written.reason().find("read-only"), std::string::npos) << written.reason();
}

} // namespace
} // namespace quillora
