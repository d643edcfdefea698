// Whole runs of the program over a small synthetic library of every record kind
// and file version, as the benchmark runs it: every package is saved, no record
// is lost, and a second run finds nothing left to change.
#include "driver/UpdateCommand.h"
#include "platform/posix/PosixPlatform.h"
#include "support/FaultyFileSystem.h"
#include "support/ProcessRun.h"
#include "support/SyntheticLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <map>
#include <numeric>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

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

// Books (of version-9 files) whose directory's identifier is above 100.
std::size_t countRenumberedBooks(const std::map<std::string, std::string>& files) {
    std::size_t books = 0;
    for (const auto& [path, bytes] : files) {
        std::istringstream lines(bytes);
        std::string tag;
        std::string id;
        std::string aux;
        long directory = 0;
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            books += std::getline(fields, tag, '\t') && tag == "B" &&
                     std::getline(fields, id, '\t') && std::getline(fields, aux, '\t') &&
                     fields >> directory && directory > 100;
        }
    }
    return books;
}

std::size_t countLines(const std::string& text, const std::string& prefix) {
    std::size_t n = 0;
    for (std::size_t at = text.find(prefix); at != std::string::npos;
         at = text.find(prefix, at + 1)) {
        n += at == 0 || text[at - 1] == '\n';
    }
    return n;
}

// A library of the given size in library/, its store beside it as runs use it.
void generate(const testing::TempLibrary& temp, std::uint32_t packages, std::uint32_t records,
              std::uint64_t seed) {
    LibraryOptions options;
    options.packages = packages;
    options.recordsPerPackage = records;
    options.seed = seed;
    options.installRoot = temp.path("library");
    LibrarySummary summary;
    std::string why;
    ASSERT_TRUE(writeLibrary(temp.path("library"), options, summary, why)) << why;
    temp.write("registry.reg", temp.read("library/registry.reg"));
}

void restore(const testing::TempLibrary& temp, const std::map<std::string, std::string>& files) {
    fs::remove_all(temp.path("library"));
    for (const auto& [path, bytes] : files) {
        temp.write("library/" + path, bytes);
    }
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
    ASSERT_NO_FATAL_FAILURE(generate(temp, 8, 3000, 5));
    const auto before = snapshot(temp);
    const std::vector<std::string> a = {"updatedir", "maintain=n"};
    const std::vector<std::string> b = {"active=n", "maintain=y"};
    ASSERT_EQ(temp.run(a).status, 0);
    ASSERT_EQ(temp.run(b).status, 0);
    const auto aThenB = snapshot(temp);
    restore(temp, before);
    ASSERT_EQ(temp.run(b).status, 0);
    const std::size_t above100 = countRenumberedBooks(snapshot(temp));
    const testing::RunResult renumbering = temp.run(a);
    ASSERT_EQ(renumbering.status, 0);
    const auto bThenA = snapshot(temp);
    // Each renumbered book is said, though a package's messages take many pieces.
    EXPECT_EQ(countLines(renumbering.out, "Updating "), countRenumberedBooks(bThenA) - above100);
    EXPECT_GT(countLines(renumbering.out, "Updating "), 8u * 1000);
    ASSERT_NE(aThenB, bThenA);

    int waited = 0;
    for (int round = 0; round < 20; ++round) {
        restore(temp, before);
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

// A signal at one of a seeded sample of the run's file operations, in a
// process that watches signals as the program does: the run stops with the
// signal's status and leaves the library as before or as after it, with no
// staged file or record beside it.
TEST(GeneratedLibraryRun, ASignalLeavesTheLibraryBeforeOrAfterWithNothingBeside) {
    testing::TempLibrary temp;
    ASSERT_NO_FATAL_FAILURE(generate(temp, 6, 500, 3));
    const auto before = snapshot(temp);
    // In a child process, which raises signal at file operation signalAt; with
    // none, it writes how many operations there were. Standard error goes to err.
    auto run = [&](int signalAt, int signal) {
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            PosixSettings settings;
            settings.registryFile = temp.path("registry.reg");
            settings.resourceFolders = {std::string(QUILLORA_SOURCE_DIR) + "/resources"};
            testing::FaultyHost<PosixPlatform> platform(settings);
            int seen = 0;
            platform.setFaultHook([&](testing::FileOperation) {
                if (++seen == signalAt) {
                    ::raise(signal);
                }
                return 0;
            });
            std::ostringstream out;
            std::ostringstream err;
            watchHostInterrupts();
            const int status = ::chdir(temp.path("library").c_str()) == 0
                                   ? runUpdate({"quillora-update", "updatedir"}, out, err, platform)
                                   : 99;
            temp.write("err", err.str());
            if (signal == 0) {
                temp.write("operations", std::to_string(seen));
            }
            ::_exit(status);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 200 + WTERMSIG(status);
    };
    ASSERT_EQ(run(0, 0), 0);
    auto after = snapshot(temp);
    after.erase("Quillora.lock");
    std::vector<int> points(static_cast<std::size_t>(std::stoi(temp.read("operations"))));
    ASSERT_GT(points.size(), 40u);
    std::iota(points.begin(), points.end(), 1);
    std::vector<int> sample;
    std::sample(points.begin(), points.end(), std::back_inserter(sample), 20, std::mt19937(17));
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    int undone = 0;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        restore(temp, before);
        const int signal = signals[i % 3];
        const std::string label =
            "signal " + std::to_string(signal) + " at operation " + std::to_string(sample[i]);
        EXPECT_EQ(run(sample[i], signal), 128 + signal) << label;
        auto now = snapshot(temp);
        now.erase("Quillora.lock");
        for (const auto& [path, bytes] : now) {
            EXPECT_TRUE(path.find(".quillora-") == std::string::npos &&
                        path.find("Quillora.commit") == std::string::npos)
                << label << ": " << path << " left behind";
        }
        EXPECT_TRUE(now == before || now == after) << label << " left a library no run gives";
        EXPECT_NE(temp.read("err").find(now == before ? "interrupted: nothing was changed"
                                                      : "interrupted: the update was completed"),
                  std::string::npos)
            << label << ": " << temp.read("err");
        undone += now == before ? 1 : 0;
    }
    EXPECT_GT(undone, 0) << "no signal came before the commit";
}

} // namespace
} // namespace quillora::bench
