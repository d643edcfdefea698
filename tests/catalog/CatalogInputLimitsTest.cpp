// Catalogues at the limits of what a file can hold: megabyte lines, NUL bytes,
// numbers of 30 digits, a hundred thousand packages. Each is read and written
// back whole, or refused with the file, the line and why.
#include "catalog/CatalogTestSupport.h"
#include "support/UpdateRun.h"

#include <gtest/gtest.h>

#include <string>

namespace quillora {
namespace {

using testing::readCatalogText;

// The texts of a version-9 catalogue; catalogue() lays them out exactly as the
// writer does, so a file that is read whole is written back byte for byte.
struct Texts {
    std::string welcome = "welcome";
    std::string searchText = "search";
    std::string categoryName = "category";
    std::string packageName = "Package";
    std::string dataFile = "C:\\Books\\a.dat";
    std::string secondPath = "C:\\Books";
    std::string directoryPath = "C:\\Books\\Dir";
    std::string markedText = "marked";
};

std::string catalogue(const Texts& t) {
    return "Version 9\nWELCOME=" + t.welcome + "\nSEARCH=" + t.searchText +
           "|*.idx|T|\n[Categories]\n1\t16\t" + t.categoryName + "|text|1 2 3|\n[" + t.packageName +
           ":Q]\n" + t.dataFile + "\n" + t.secondPath + "\n7\tactive\nD\t5\t" + t.directoryPath +
           "\nA\t6\tH\t" + t.markedText + "\n\n";
}

TEST(CatalogInputLimits, MegabyteTextsAndNulBytesAreWrittenBackWhole) {
    const std::string megabyte(1 << 20, 'x');
    const std::string withNul = std::string("a\0b\0", 4) + "c";
    const struct {
        const char* name;
        std::string Texts::*text;
    } fields[] = {
        {"welcome", &Texts::welcome},
        {"search text", &Texts::searchText},
        {"category name", &Texts::categoryName},
        {"package name", &Texts::packageName},
        {"data file", &Texts::dataFile},
        {"second path", &Texts::secondPath},
        {"directory path", &Texts::directoryPath},
        {"marked text", &Texts::markedText},
    };
    for (const auto& field : fields) {
        for (const std::string* value : {&megabyte, &withNul}) {
            Texts texts;
            texts.*field.text = *value;
            const std::string file = catalogue(texts);
            LibraryCatalog catalog;
            const Status read = readCatalogText(catalog, file);
            ASSERT_EQ(read.code(), 0) << field.name << ": " << read.reason();
            // Not EXPECT_EQ: a megabyte in a failure message helps nobody.
            EXPECT_TRUE(catalog.formatCatalog() == file)
                << field.name << " of " << value->size() << " characters is not written back whole";
        }
    }
}

TEST(CatalogInputLimits, AFileCutBeforeItsLastNewlineIsWrittenBackComplete) {
    const std::string whole = catalogue(Texts{});
    // Without the empty line that ends the section, and without the newline
    // of the last item line as well.
    for (std::size_t cut : {1u, 2u}) {
        LibraryCatalog catalog;
        ASSERT_EQ(readCatalogText(catalog, whole.substr(0, whole.size() - cut)).code(), 0) << cut;
        EXPECT_EQ(catalog.formatCatalog(), whole) << cut;
    }
}

TEST(CatalogInputLimits, NumbersOfThirtyDigitsAreRefusedOnTheirLine) {
    const std::string thirty = "123456789012345678901234567890";
    struct Case {
        std::string file;
        unsigned line;
    };
    const std::string section = "[P:Q]\nl\ns\n";
    const Case cases[] = {
        {"Version " + thirty + "\n[Categories]\n", 1},
        {"Version 9\n[Categories]\n" + thirty + "\t0\tN|T|1 2 3|\n", 3},
        {"Version 9\n[Categories]\n1\t" + thirty + "\tN|T|1 2 3|\n", 3},
        {"Version 9\n[Categories]\n1\t0\tN|T|1 " + thirty + " 3|\n", 3},
        {"Version 9\n[Categories]\n" + section + thirty + "\tactive\n", 6},
        {"Version 9\n[Categories]\n" + section + "0\tactive\nD\t" + thirty + "\tpath\n", 7},
        {"Version 9\n[Categories]\n" + section + "0\tactive\nA\t-" + thirty + "\tH\ttext\n", 7},
        {"Version 7\n[Categories]\n" + section + "0\tactive\n" + thirty + "\tpath\n", 7},
    };
    for (const Case& c : cases) {
        LibraryCatalog catalog;
        const Status read = readCatalogText(catalog, c.file);
        EXPECT_NE(read.code(), 0) << c.file;
        EXPECT_EQ(read.reason().rfind("Quillora.ini:" + std::to_string(c.line) + ": ", 0), 0u)
            << read.reason();
    }
}

TEST(CatalogInputLimits, LeadingZerosMakeNoNumberTooLong) {
    const std::string zeros(28, '0');
    LibraryCatalog catalog;
    const Status read =
        readCatalogText(catalog, "Version " + zeros + "09\n[Categories]\n[P:Q]\nl\ns\n" + zeros +
                                     "07\tactive\nD\t" + zeros + "05\tpath\n");
    ASSERT_EQ(read.code(), 0) << read.reason();
    const Package& package = *catalog.body.packages.at(0);
    EXPECT_EQ(package.number, 7u);
    EXPECT_EQ(package.items.at(0)->id, 5);
}

// Every package loaded and saved, the catalogue written back with all of them.
TEST(CatalogInputLimits, AHundredThousandPackagesGoThroughAWholeRun) {
    constexpr int kPackages = 100000;
    const std::string book = "B\t1\t0\t5\tBook|||||||16\t0\t0\t0\t-1\t0\t1\t0\t\n";
    const std::string saved =
        "zobooksdatafile 9\nB\t1\t0\t5\tBook|||||||16\t0\t0\t0\t-1\t0\t0\t0\t\n";
    testing::FakePlatform platform;
    platform.setInstallation("C:\\Lib", "C:\\Lib\\Local", "D:");
    std::string file = "Version 9\n[Categories]\n";
    for (int i = 0; i < kPackages; ++i) {
        const std::string n = std::to_string(i);
        file += "[P" + n + ":Q]\n$+HOME.\\" + n + ".dat\n\n" + n + "\tactive\nD\t5\t$+CD.\\b\n\n";
        platform.files["C:\\Lib\\" + n + ".dat"] = "zobooksdatafile 9\n" + book;
    }
    platform.files[testing::kCatalogName] = file;
    testing::RunResult r =
        testing::runUpdateWith(platform, "C:\\Lib\\Bin\\quillora-update.exe", {"maintain=n"});
    EXPECT_EQ(r.status, kExitOk) << r.err.substr(0, 1000);
    std::size_t savedLines = 0;
    for (std::size_t at = r.out.find("\tSaving\n"); at != std::string::npos;
         at = r.out.find("\tSaving\n", at + 1)) {
        ++savedLines;
    }
    EXPECT_EQ(savedLines, static_cast<std::size_t>(kPackages));
    int rewritten = 0;
    for (int i = 0; i < kPackages; ++i) {
        rewritten += platform.files["C:\\Lib\\" + std::to_string(i) + ".dat"] == saved;
    }
    EXPECT_EQ(rewritten, kPackages);
    EXPECT_TRUE(platform.files[testing::kCatalogName] == file)
        << "the written catalogue is not the one read";
}

} // namespace
} // namespace quillora
