#include "product/PathMacro.h"
#include "catalog/LibraryCatalog.h"
#include "product/ProductKeyTable.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(ReplaceFirst, ReplacesOnlyTheFirstCaseInsensitiveOccurrence) {
    struct Case {
        const char* text;
        const char* search;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"$+program.x$+PROGRAM.", "$+PROGRAM.", "Q", "Qx$+PROGRAM."},
        {"C:\\Lib\\Books\\a.dat", "c:\\lib", "$+HOME.", "$+HOME.\\Books\\a.dat"},
        {"abc", "zz", "Q", "abc"},
        {"abc", "", "$+HOME.", "abc"}, // an empty search never prefixes a token
        {"", "", "", ""},
        {"xABCx", "abc", "", "xx"},
        {"$+CD.\\Disk", "$+cd.", "d:", "d:\\Disk"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(replaceFirst(c.text, c.search, c.replacement), c.expected)
            << c.text << " / " << c.search;
    }
}

TEST(PathMacro, ExpandsProgramAndCompany) {
    EXPECT_EQ(expandProgramMacro("$+PROGRAM..ini"), "Quillora.ini");
    EXPECT_EQ(expandCompanyMacro("Software\\$+company.\\x"), "Software\\Tolvane Works\\x");
    EXPECT_EQ(expandProgramMacro("no token"), "no token");
}

TEST(PathMacro, IsMacroPath) {
    const std::pair<const char*, bool> cases[] = {
        {"$+CD.", true}, {"$+.", true}, {"$+HOME.\\x", true}, {"$+CD", false},   {"+CD.", false},
        {"", false},     {"$", false},  {"$-CD.", false},     {"x$+CD.", false}, {"$+.CD", true},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(isMacroPath(text), expected) << text;
    }
}

TEST(PathMacro, ExpandsTheDirectoryMacros) {
    InstallDirectories directories;
    directories.home = "C:\\Quillora";
    directories.cd = "D:";
    directories.local = "C:\\Local";
    EXPECT_EQ(expandDirectoryMacros("$+home.\\books\\guide.dat", directories),
              "C:\\Quillora\\books\\guide.dat");
    EXPECT_EQ(expandDirectoryMacros("$+CD.\\x.dat", directories), "D:\\x.dat");
    EXPECT_EQ(expandDirectoryMacros("$+LOCAL.\\y.dat", directories), "C:\\Local\\y.dat");
    EXPECT_EQ(expandDirectoryMacros("E:\\z.dat", directories), "E:\\z.dat");
}

TEST(PathMacro, AbbreviatesHomeThenCdThenLocalAndSkipsEmptyDirectories) {
    InstallDirectories directories;
    directories.home = "C:\\Quillora";
    directories.local = "C:\\Quillora\\Local";
    directories.cd = "D:";
    struct Case {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"c:\\quillora\\Books\\a.dat", "$+HOME.\\Books\\a.dat"},
        // the local directory lies inside home: home wins
        {"C:\\Quillora\\Local\\x", "$+HOME.\\Local\\x"},
        {"d:\\Disk\\b.dat", "$+CD.\\Disk\\b.dat"},
        {"E:\\Other", "E:\\Other"},
        {"$+HOME.\\x", "$+HOME.\\x"},
        // only a leading occurrence counts
        {"X:\\C:\\Quillora", "X:\\C:\\Quillora"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(abbreviatePath(c.path, directories), c.expected) << c.path;
    }
    directories.cd.clear();
    directories.home.clear();
    directories.local = "C:\\Local";
    EXPECT_EQ(abbreviatePath("D:\\x", directories), "D:\\x");
    EXPECT_EQ(abbreviatePath("c:\\local\\y", directories), "$+LOCAL.\\y");
    // All three on one drive: each path begins with two of them.
    directories.home = "D:\\Home";
    directories.cd = "D:";
    directories.local = "D:\\Local";
    EXPECT_EQ(abbreviatePath("d:\\home\\x", directories), "$+HOME.\\x");
    EXPECT_EQ(abbreviatePath("D:\\Local\\x", directories), "$+CD.\\Local\\x");
}

TEST(ProductKeyTable, ValuesAsBuilt) {
    EXPECT_EQ(productKeyValue(ProductKey::Product), "Quillora");
    EXPECT_EQ(programName(), "Quillora");
    EXPECT_EQ(productKeyValue(ProductKey::Vendor), "KIV");
    EXPECT_EQ(productKeyValue(ProductKey::Owner), "Tolvane Works");
    EXPECT_EQ(companyName(), "Tolvane Works");
    EXPECT_NE(productKeyValue(ProductKey::Contact).find('@'), std::string::npos);
}

TEST(LibraryCatalog, SettingsAfterConstruction) {
    LibraryCatalog catalog;
    EXPECT_EQ(catalog.registryKeyPath, "Software\\Tolvane Works\\Quillora");
    EXPECT_EQ(catalog.catalogFileName, "$+PROGRAM..ini");
    EXPECT_EQ(expandProgramMacro(catalog.catalogFileName), "Quillora.ini");
    EXPECT_TRUE(catalog.cdDirectory.empty());
    EXPECT_TRUE(catalog.homeDirectory.empty());
    EXPECT_TRUE(catalog.localDirectory.empty());
    EXPECT_EQ(catalog.formatVersion, 9u);
    EXPECT_FALSE(catalog.hasWelcome || catalog.hasInit || catalog.hasMode);
}

} // namespace
} // namespace quillora
