// The start of a run: announcements, program location and registry stage.
#include "driver/UpdateCommand.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quillora {
namespace {

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

RunResult run(testing::FakePlatform& platform, std::vector<std::string> args) {
    args.insert(args.begin(), "C:\\Quillora\\Bin\\quillora-update.exe");
    std::ostringstream out;
    std::ostringstream err;
    int status = runUpdate(args, out, err, platform);
    return {status, out.str(), err.str()};
}

TEST(RunStart, AnnouncementsComeInTheOrderMaintainActiveDirectories) {
    testing::FakePlatform platform;
    platform.registryDenied = true; // registry skipped: the run goes on to the catalogue
    RunResult r = run(platform, {"updatedir", "ACTIVE=n", "maintain=y", "bogus"});
    EXPECT_EQ(r.out.substr(0, r.out.find("Reading")),
              "Will set maintain flag to true\n"
              "Will set active flag to false\n"
              "Will update directory entries for copied books.\n");
}

TEST(RunStart, UnreadableHomeOrLocalValueAbortsBeforeTheCatalogue) {
    struct Case {
        const char* label;
        bool home;
        bool local;
        bool cd;
    };
    const Case cases[] = {{"no local", true, false, true},
                          {"no home", false, true, true},
                          {"no values (key created)", false, false, false}};
    for (const Case& c : cases) {
        testing::FakePlatform platform;
        auto& key = platform.productKey();
        if (c.home) {
            key[testing::kHomeValueName] = "C:\\Q";
        }
        if (c.local) {
            key[testing::kLocalValueName] = "C:\\Q";
        }
        if (c.cd) {
            key[testing::kCdValueName] = "D:";
        }
        platform.files["Quillora.ini"] = "Version 9\n[Categories]\n";
        RunResult r = run(platform, {"maintain=n"});
        EXPECT_EQ(r.out, "Will set maintain flag to false\n"
                         "Error reading registry. Update aborted.\n")
            << c.label;
        EXPECT_EQ(r.status, kExitStopped) << c.label;
        EXPECT_EQ(platform.disk.renameCount, 0) << c.label;
        EXPECT_NE(r.err.find("Software\\Tolvane Works\\Quillora"), std::string::npos) << r.err;
    }
}

TEST(RunStart, MissingKeyIsCreatedEmptyAndTheRunStops) {
    testing::FakePlatform platform;
    RunResult r = run(platform, {});
    EXPECT_EQ(r.out, "Error reading registry. Update aborted.\n");
    EXPECT_EQ(platform.registry.count("software\\tolvane works\\quillora"), 1u);
    EXPECT_TRUE(platform.productKey().empty());
}

TEST(RunStart, MissingResourceLibraryStopsTheRunWithTheRegistryMessage) {
    testing::FakePlatform platform;
    platform.setInstallation("C:\\Q", "C:\\Q", "D:");
    platform.hasResources = false;
    RunResult r = run(platform, {});
    EXPECT_EQ(r.out, "Error reading registry. Update aborted.\n");
    EXPECT_NE(r.err.find("KIVRes"), std::string::npos) << r.err;
    EXPECT_EQ(r.status, kExitStopped);
}

TEST(RunStart, MissingCatalogueIsReportedAndNothingWritten) {
    testing::FakePlatform platform;
    platform.setInstallation("C:\\Q", "C:\\Q", "D:");
    RunResult r = run(platform, {"updatedir"});
    EXPECT_EQ(r.out, "Will update directory entries for copied books.\n"
                     "Reading Quillora.ini\n"
                     "Cannot find Quillora.ini\n");
    EXPECT_EQ(r.status, kExitStopped);
    EXPECT_EQ(platform.disk.renameCount, 0);
    EXPECT_NE(r.err.find("Quillora.ini"), std::string::npos) << r.err;
}

} // namespace
} // namespace quillora
