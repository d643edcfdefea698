// Whole runs of the program over a small synthetic library of every record kind
// and file version, as the benchmark runs it: every package is saved, no record
// is lost, and a second run finds nothing left to change.
#include "bench/SyntheticLibrary.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace quillora::bench {
namespace {

// Every file of the library by its path inside it, with its bytes.
std::map<std::string, std::string> snapshot(const testing::TempLibrary& temp) {
    std::map<std::string, std::string> files;
    const fs::path root = temp.path("library");
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            std::string relative = fs::relative(entry.path(), root).string();
            files[relative] = temp.read("library/" + relative);
        }
    }
    return files;
}

std::size_t countRecords(const std::string& bytes) {
    std::size_t records = 0;
    std::istringstream lines(bytes);
    std::string line;
    while (std::getline(lines, line)) {
        records += !line.empty() && std::string("BGPXY").find(line[0]) != std::string::npos;
    }
    return records;
}

std::size_t countLines(const std::string& text, const std::string& prefix) {
    std::size_t n = 0;
    for (std::size_t at = text.find(prefix); at != std::string::npos;
         at = text.find(prefix, at + 1)) {
        n += at == 0 || text[at - 1] == '\n';
    }
    return n;
}

TEST(GeneratedLibraryRun, EveryPackageSavedNothingLostSecondRunChangesNothing) {
    for (int catalogVersion : {7, 9}) {
        SCOPED_TRACE("catalogue version " + std::to_string(catalogVersion));
        testing::TempLibrary temp;
        LibraryOptions options;
        options.packages = 24; // enough for older files of several versions
        options.recordsPerPackage = 300;
        options.seed = 11;
        options.catalogVersion = catalogVersion;
        options.installRoot = temp.path("library");
        LibrarySummary summary;
        std::string why;
        ASSERT_TRUE(writeLibrary(temp.path("library"), options, summary, why)) << why;
        ASSERT_GT(summary.olderFiles, 0u);
        temp.write("registry.reg", temp.read("library/registry.reg"));
        const auto before = snapshot(temp);

        const testing::RunResult first = temp.run({"updatedir", "maintain=y"});
        EXPECT_EQ(first.status, 0) << first.err;
        EXPECT_EQ(first.err, "");
        EXPECT_EQ(countLines(first.out, "\tSaving\n"), options.packages);
        EXPECT_GT(countLines(first.out, "Updating "), 0u) << "copied directories renumbered";
        const auto after = snapshot(temp);
        // Every file is still there, and the run left only its lock file beside them.
        ASSERT_EQ(after.size(), before.size() + 1);
        EXPECT_EQ(after.at("Quillora.lock"), "");
        for (const auto& [path, bytes] : before) {
            if (path.size() > 4 && path.compare(path.size() - 4, 4, ".dat") == 0) {
                EXPECT_EQ(countRecords(after.at(path)), options.recordsPerPackage) << path;
                EXPECT_EQ(after.at(path).compare(0, 17, "zobooksdatafile 9"), 0) << path;
            }
        }
        EXPECT_EQ(after.at("Quillora.ini").compare(0, 9, "Version 9"), 0);

        const testing::RunResult second = temp.run({"updatedir", "maintain=y"});
        EXPECT_EQ(second.status, 0) << second.err;
        EXPECT_EQ(countLines(second.out, "Updating "), 0u);
        EXPECT_TRUE(snapshot(temp) == after) << "the second run changed a file";
    }
}

// Two runs with different options started together on one library: the
// second waits for the first, so the library ends as one order or the other
// gives.
TEST(GeneratedLibraryRun, TwoRunsAtOnceGiveWhatOneAfterTheOtherGives) {
    testing::TempLibrary temp;
    LibraryOptions options;
    options.packages = 8;
    options.recordsPerPackage = 3000;
    options.seed = 5;
    options.installRoot = temp.path("library");
    LibrarySummary summary;
    std::string why;
    ASSERT_TRUE(writeLibrary(temp.path("library"), options, summary, why)) << why;
    temp.write("registry.reg", temp.read("library/registry.reg"));
    const auto before = snapshot(temp);
    auto restore = [&] {
        fs::remove_all(temp.path("library"));
        for (const auto& [path, bytes] : before) {
            temp.write("library/" + path, bytes);
        }
    };
    const std::vector<std::string> a = {"updatedir", "maintain=n"};
    const std::vector<std::string> b = {"active=n", "maintain=y"};
    ASSERT_EQ(temp.run(a).status, 0);
    ASSERT_EQ(temp.run(b).status, 0);
    const auto aThenB = snapshot(temp);
    restore();
    ASSERT_EQ(temp.run(b).status, 0);
    ASSERT_EQ(temp.run(a).status, 0);
    const auto bThenA = snapshot(temp);
    ASSERT_NE(aThenB, bThenA);

    int waited = 0;
    for (int round = 0; round < 20; ++round) {
        restore();
        const std::vector<testing::RunResult> runs = temp.runTogether({a, b});
        for (const testing::RunResult& r : runs) {
            EXPECT_EQ(r.status, 0) << "round " << round << ": " << r.err;
            waited += r.err.find("waiting for another run") != std::string::npos ? 1 : 0;
        }
        const auto now = snapshot(temp);
        EXPECT_TRUE(now == aThenB || now == bThenA) << "round " << round << ": a mix of both runs";
    }
    EXPECT_GT(waited, 0) << "the runs never met";
}

} // namespace
} // namespace quillora::bench
