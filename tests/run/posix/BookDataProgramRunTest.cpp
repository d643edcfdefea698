// Runs of the built program over a library of several packages: an old CR LF
// file comes back in the newest layout with its line ends, an unreadable one is
// left byte for byte, and a second run changes nothing.
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

using testing::TempLibrary;

TEST(BookDataProgramRun, SeveralPackagesOneUnreadable) {
    TempLibrary library;
    library.installProgram(true);
    const std::string home = library.path("library");
    std::vector<testing::StoreKey> keys = testing::driveTable({{"c:", "hd", "/"}});
    keys.insert(keys.begin(), testing::productKey(home, home + "/local", "d:"));
    library.writeStore(keys);
    library.write("library/Quillora.ini", "Version 9\n[Categories]\n1\t16\tAll|x|0 0 0|\n"
                                          "[Old:]\n$+HOME.\\DATA\\Old.dat\ns\n1\tactive\n"
                                          "D\t3\t" +
                                              home +
                                              "\\copied\n\n"
                                              "[Broken:]\n$+HOME.\\data\\broken.dat\ns\n2\tactive\n"
                                              "D\t4\t" +
                                              home + "\\other\n");
    library.write("library/data/old.dat", "zobooksdatafile 4\r\n"
                                          "G\t1\tShelf|||1\t-1\r\n"
                                          "B\t2\t3\tGuide||||||0\t1\t-1\t1\t1\t0\t\r\n"
                                          "L\t7\r\n"
                                          "E\r\n");
    const std::string broken = "zobooksdatafile 9\n"
                               "B\t1\t0\t4\tA|||||||16\t0\t0\t0\t-1\t0\t1\t0\t\n"
                               "B\t2\t0\t4\tcut short||\n"
                               "B\t3\t0\t4\tC|||||||16\t0\t0\t0\t-1\t0\t1\t0\t\n";
    library.write("library/data/broken.dat", broken);

    testing::RunResult r = library.run({"updatedir", "maintain=n"});
    EXPECT_EQ(r.out, "Will set maintain flag to false\n"
                     "Will update directory entries for copied books.\n"
                     "Reading Quillora.ini\n"
                     "\tLoading Old\n"
                     "Updating Guide id 3 to 101\n"
                     "\tSaving\n"
                     "\tLoading Broken\n"
                     "Saving Quillora.ini\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("package Broken: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("data/broken.dat:3: "), std::string::npos) << r.err;
    EXPECT_EQ(library.read("library/data/broken.dat"), broken);
    const std::string upgraded = "zobooksdatafile 9\r\n"
                                 "G\t1\t0\tShelf||||128\t0\t-1\r\n"
                                 "B\t2\t0\t101\tGuide|||||||16\t0\t0\t1\t-1\t1\t0\t0\t\r\n"
                                 "L\t7\r\n"
                                 "E\r\n";
    EXPECT_EQ(library.read("library/data/old.dat"), upgraded);
    EXPECT_FALSE(library.exists("library/DATA/Old.dat")) << "written back where it was found";
    const std::string ini = library.read("library/Quillora.ini");
    EXPECT_NE(ini.find("D\t101\t$+HOME.\\copied\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("D\t4\t$+HOME.\\other\n"), std::string::npos) << ini;

    r = library.run();
    EXPECT_EQ(library.read("library/data/old.dat"), upgraded);
    EXPECT_EQ(library.read("library/data/broken.dat"), broken);
    EXPECT_EQ(library.read("library/Quillora.ini"), ini);
}

} // namespace
} // namespace quillora
