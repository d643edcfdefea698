// The golden cases of tests/golden, each run twice through the built program in
// a temporary folder: C: and the CD-ROM drive D: are folders of it, named by
// the drive table of the registry store.
#include "support/GoldenCase.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

#include <cctype>

namespace quillora {
namespace {

using testing::GoldenCase;

const std::filesystem::path kCases = std::filesystem::path(QUILLORA_SOURCE_DIR) / "tests/golden";

class GoldenRun : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenRun, PrintsAndWritesWhatTheCaseExpects) {
    const GoldenCase golden = testing::loadGoldenCase(kCases, GetParam());
    testing::TempLibrary library;
    library.installProgram(true);
    const testing::DriveFolders drives = {{"drive_c", library.path("drive_c")},
                                          {"drive_d", library.path("drive_d")}};
    testing::layOutGoldenInput(golden, drives);

    testing::StoreKey product = testing::productKey("", "", "");
    product.values = golden.registry;
    std::vector<testing::StoreKey> keys = testing::driveTable(
        {{"c:", "hd", library.path("drive_c")}, {"d:", "cdrom", library.path("drive_d")}});
    keys.insert(keys.begin(), product);
    library.writeStore(keys);
    library.workingDirectory = std::string("drive_c/") + testing::kGoldenWorkingFolder;
    const std::string store = library.read("registry.reg");

    if (golden.dryRun) {
        std::vector<std::string> args = golden.args;
        args.push_back("--dry-run");
        if (golden.dryRunDiff) {
            args.push_back("--diff");
        }
        testing::RunResult r = library.run(args);
        testing::expectGoldenDryRun(golden, r.status, r.out, r.err,
                                    testing::libraryFiles(golden, drives));
        EXPECT_EQ(library.read("registry.reg"), store);
    }
    // The second run goes over what the first left, so only after a good first one.
    for (int round = 1; round <= 2 && !HasFailure(); ++round) {
        testing::RunResult r = library.run(golden.args);
        testing::expectGoldenRun(golden, round, r.status, r.out, r.err);
        testing::expectGoldenFiles(golden, round, testing::libraryFiles(golden, drives));
        // No case's run has anything to write into the store, or a default one in HOME.
        EXPECT_EQ(library.read("registry.reg"), store);
        EXPECT_TRUE(std::filesystem::is_empty(library.path("home")));
    }
}

// Test names allow letters, digits and underscores only.
std::string testName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenRun, ::testing::ValuesIn(testing::goldenCaseNames(kCases)),
                         testName);

} // namespace
} // namespace quillora
