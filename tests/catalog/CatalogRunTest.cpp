// Whole runs over a catalogue, with book data files the run cannot load.
#include "driver/UpdateCommand.h"
#include "support/UpdateRun.h"

#include <gtest/gtest.h>

#include <utility>

namespace quillora {
namespace {

using testing::RunResult;

RunResult run(testing::FakePlatform& platform, std::vector<std::string> args) {
    return testing::runUpdateWith(platform, "C:\\Lib\\Bin\\quillora-update.exe", std::move(args));
}

testing::FakePlatform installed() {
    testing::FakePlatform platform;
    platform.setInstallation("C:\\Lib", "C:\\Lib\\Local", "D:");
    return platform;
}

TEST(CatalogRun, PackagesThatFailToLoadAreNotSavedButTheCatalogueIsRewritten) {
    testing::FakePlatform platform = installed();
    platform.files["Quillora.ini"] = "Version 8\n"
                                     "WELCOME=Hello\n"
                                     "[Categories]\n"
                                     "1\t16\tAll|x|0 0 0|\n"
                                     "[One:Q]\n"
                                     "C:\\Lib\\one\\one.dat\n"
                                     "C:\\Lib\\Local\\one\n"
                                     "1\tactive\n"
                                     "D\t5\tD:\\books\n"
                                     "D\t6\tc:\\LIB\\copied\n"
                                     "A\t7\tH\tnote\n"
                                     "\n"
                                     "[Two:]\n"
                                     "d:\\two.dat\n"
                                     "elsewhere\n"
                                     "2\tdeleted\n";
    RunResult r = run(platform, {"updatedir"});
    EXPECT_EQ(r.out, "Will update directory entries for copied books.\n"
                     "Reading Quillora.ini\n"
                     "\tLoading One\n"
                     "\tLoading Two\n"
                     "Saving Quillora.ini\n");
    EXPECT_EQ(r.status, kExitIncomplete);
    EXPECT_EQ(platform.disk.renameCount, 1);
    // Paths abbreviated; the copied directory keeps its identifier, since its
    // books could not be renumbered.
    EXPECT_EQ(platform.files["Quillora.ini"], "Version 9\n"
                                              "WELCOME=Hello\n"
                                              "[Categories]\n"
                                              "1\t16\tAll|x|0 0 0|\n"
                                              "[One:Q]\n"
                                              "$+HOME.\\one\\one.dat\n"
                                              "$+HOME.\\Local\\one\n"
                                              "1\tactive\n"
                                              "D\t5\t$+CD.\\books\n"
                                              "D\t6\t$+HOME.\\copied\n"
                                              "A\t7\tH\tnote\n"
                                              "\n"
                                              "[Two:]\n"
                                              "$+CD.\\two.dat\n"
                                              "elsewhere\n"
                                              "2\tdeleted\n"
                                              "\n");
}

TEST(CatalogRun, CatalogueWithoutPackagesGoesFromReadingToSaving) {
    testing::FakePlatform platform = installed();
    platform.files["Quillora.ini"] = "Version 5\r\nMODE=x\r\n[Categories]\r\n2\t3\tCat|\r\n";
    RunResult r = run(platform, {});
    EXPECT_EQ(r.out, "Reading Quillora.ini\nSaving Quillora.ini\n");
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(platform.files["Quillora.ini"],
              "Version 9\r\nMODE=x\r\n[Categories]\r\n2\t64\tCat||0 0 0|\r\n");
}

TEST(CatalogRun, UnreadableCatalogueIsNotFoundAndNothingIsWritten) {
    struct Case {
        const char* text;
        const char* where;
    };
    const Case cases[] = {
        {"Version 9\n[Categories]\n[P:Q]\nl\ns\n0\tactive\nD\t5\tok\nD\tbad\tpath\n",
         "Quillora.ini:8: "},
        {"Version 9\nWELCOME=no section line\n", "Quillora.ini:3: "},
        {"Version ten\n[Categories]\n", "Quillora.ini:1: "},
        {"Version 10\n[Categories]\n", "Quillora.ini:1: "},
        {"Version 4\n[Categories]\n", "Quillora.ini:2: "},
        {"", "Quillora.ini:1: "},
    };
    for (const Case& c : cases) {
        testing::FakePlatform platform = installed();
        platform.files["Quillora.ini"] = c.text;
        RunResult r = run(platform, {"maintain=y"});
        EXPECT_EQ(r.out, "Will set maintain flag to true\n"
                         "Reading Quillora.ini\n"
                         "Cannot find Quillora.ini\n")
            << c.text;
        EXPECT_EQ(r.status, kExitStopped) << c.text;
        EXPECT_EQ(platform.disk.renameCount, 0) << c.text;
        EXPECT_EQ(platform.files["Quillora.ini"], c.text);
        EXPECT_NE(r.err.find(c.where), std::string::npos) << r.err;
    }
}

} // namespace
} // namespace quillora
