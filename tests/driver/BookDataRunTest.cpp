// Book data files through the update: load, flags and renumbering, abbreviation,
// save; and whole runs over a catalogue whose packages hold real files.
#include "catalog/CatalogTestSupport.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "driver/PackageUpdate.h"
#include "driver/UpdateCommand.h"
#include "driver/UpdateOptions.h"
#include "support/EveryKindLibrary.h"
#include "support/UpdateRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace quillora {
namespace {

using testing::addDirectory;
using testing::FakePlatform;
using testing::RunResult;

// A book in directory dir, as a version-5 line, and what it becomes in version 9
// with the given directory and flags.
std::string book5(int id, int dir) {
    testing::BookFields b;
    b.id = std::to_string(id);
    b.directory = std::to_string(dir);
    b.name = "Book" + b.id;
    return testing::bookLine(b, 5);
}
std::string book9(int id, int dir, int active, int maintain) {
    testing::BookFields b;
    b.id = std::to_string(id);
    b.directory = std::to_string(dir);
    b.name = "Book" + b.id;
    b.active = std::to_string(active);
    b.maintain = std::to_string(maintain);
    return testing::bookLine(b);
}

TEST(BookDataUpdate, LoadRenumberAbbreviateAndSave) {
    LibraryCatalog catalog;
    catalog.homeDirectory = "C:\\Lib";
    catalog.cdDirectory = "D:";
    catalog.localDirectory = "C:\\Lib\\Local";
    const InstallDirectories directories = catalog.installDirectories();
    FakePlatform fs;
    fs.files["C:\\Lib\\manuals.dat"] = "zobooksdatafile 5\n"
                                       "G\t1\t0\tManuals|||0\t-1\n" +
                                       book5(2, 3) + book5(3, 4) +
                                       "P\t4\t0\t3\tViewer||||||0\t-1\t1\t\n"
                                       "E\n" +
                                       book5(5, 3);
    Package p;
    p.dataFileLocation = "C:\\Lib\\manuals.dat";
    DirectoryItem* copied = addDirectory(p, 3, "c:\\lib\\copied");
    DirectoryItem* onCd = addDirectory(p, 4, "$+CD.\\books");
    ASSERT_EQ(p.load(fs, directories).code(), result::Success);

    UpdateOptions options;
    options.setMaintain = true;
    options.maintainValue = false;
    options.updateDirectories = true;
    std::ostringstream out;
    applyEntryOptions(p, options, {}, "d:", out);
    EXPECT_EQ(out.str(), "Updating Book2 id 3 to 101\nUpdating Book5 id 3 to 101\n");
    abbreviatePackagePaths(p, directories);
    EXPECT_EQ(p.dataFileLocation, "$+HOME.\\manuals.dat");
    EXPECT_EQ(copied->id, 101);
    EXPECT_EQ(copied->path, "$+HOME.\\copied");
    EXPECT_EQ(onCd->id, 4);

    ASSERT_EQ(p.save(fs, directories).code(), result::Success);
    EXPECT_EQ(fs.files["C:\\Lib\\manuals.dat"], "zobooksdatafile 9\n"
                                                "G\t1\t0\tManuals||||16\t0\t-1\n" +
                                                    book9(2, 101, -1, 0) + book9(3, 4, -1, 0) +
                                                    "P\t4\t0\t3\tViewer||||||||16\t0\t0\t-1\t0\t\n"
                                                    "E\n" +
                                                    book9(5, 101, -1, 0));
}

FakePlatform installed() {
    FakePlatform platform;
    platform.setInstallation("C:\\Lib", "C:\\Lib\\Local", "D:");
    return platform;
}

RunResult run(FakePlatform& platform, std::vector<std::string> args) {
    return testing::runUpdateWith(platform, "C:\\Lib\\Bin\\quillora-update.exe", std::move(args));
}

TEST(BookDataRun, AFailedLoadLeavesItsFileAndDirectoriesAsTheyWere) {
    FakePlatform platform = installed();
    platform.files["Quillora.ini"] = "Version 9\n"
                                     "[Categories]\n"
                                     "1\t16\tAll|x|0 0 0|\n"
                                     "[Manuals:Q]\n"
                                     "C:\\Lib\\manuals.dat\n"
                                     "C:\\Lib\\Local\\manuals\n"
                                     "1\tactive\n"
                                     "D\t3\tC:\\Lib\\copied\n"
                                     "\n"
                                     "[Broken:]\n"
                                     "$+HOME.\\broken.dat\n"
                                     "x\n"
                                     "2\tactive\n"
                                     "D\t5\tC:\\Lib\\other\n"
                                     "\n"
                                     "[Windows:]\n"
                                     "$+home.\\crlf.dat\n"
                                     "y\n"
                                     "3\tactive\n";
    platform.files["C:\\Lib\\manuals.dat"] = "zobooksdatafile 5\n" + book5(1, 3) + book5(2, 3);
    const std::string broken = "zobooksdatafile 9\n" + book9(1, 5, -1, 1) +
                               "B\t2\t0\t5\tcut short|||\n" + book9(3, 5, -1, 1);
    platform.files["C:\\Lib\\broken.dat"] = broken;
    platform.files["C:\\Lib\\crlf.dat"] = "zobooksdatafile 9\r\nG\t1\t0\tg||||16\t0\t-1\r\nE\r\n";
    FakePlatform again(platform);

    RunResult r = run(platform, {"active=n", "updatedir"});
    EXPECT_EQ(r.out, "Will set active flag to false\n"
                     "Will update directory entries for copied books.\n"
                     "Reading Quillora.ini\n"
                     "\tLoading Manuals\n"
                     "Updating Book1 id 3 to 101\n"
                     "Updating Book2 id 3 to 101\n"
                     "\tSaving\n"
                     "\tLoading Broken\n"
                     "\tLoading Windows\n"
                     "\tSaving\n"
                     "Saving Quillora.ini\n");
    EXPECT_EQ(r.status, kExitIncomplete);
    EXPECT_NE(r.err.find("package Broken: C:\\Lib\\broken.dat:3: "), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("(result"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1 of 3 packages was not saved (see above); the catalogue was written\n"),
              std::string::npos)
        << r.err;

    EXPECT_EQ(platform.files["C:\\Lib\\broken.dat"], broken);
    EXPECT_EQ(platform.files["C:\\Lib\\manuals.dat"],
              "zobooksdatafile 9\n" + book9(1, 101, 0, 1) + book9(2, 101, 0, 1));
    EXPECT_EQ(platform.files["C:\\Lib\\crlf.dat"],
              "zobooksdatafile 9\r\nG\t1\t0\tg||||16\t0\t0\r\nE\r\n");
    const std::string& ini = platform.files["Quillora.ini"];
    EXPECT_NE(ini.find("D\t101\t$+HOME.\\copied\n"), std::string::npos) << ini;
    // The broken package's directory keeps the number its file refers to.
    EXPECT_NE(ini.find("D\t5\t$+HOME.\\other\n"), std::string::npos) << ini;

    // Both streams into one, as a log of 2>&1 is: the note comes in its place.
    std::ostringstream both;
    runUpdate({"C:\\Lib\\Bin\\quillora-update.exe", "active=n", "updatedir"}, both, both, again);
    const std::string log = both.str();
    EXPECT_LT(log.find("\tLoading Broken\n"), log.find("package Broken: ")) << log;
    EXPECT_LT(log.find("package Broken: "), log.find("\tLoading Windows\n")) << log;
}

// The catalogue format leaves out a section without a name; the run says so.
TEST(BookDataRun, ASectionWithNoNameIsReportedAsNotWrittenBack) {
    FakePlatform platform = installed();
    platform.files["Quillora.ini"] = "Version 9\n"
                                     "[Categories]\n"
                                     "1\t16\tAll|x|0 0 0|\n"
                                     "[]\n"
                                     "C:\\Lib\\unnamed.dat\n"
                                     "x\n"
                                     "1\tactive\n"
                                     "D\t3\tC:\\Lib\\a\n"
                                     "D\t4\tC:\\Lib\\b\n"
                                     "\n"
                                     "[Named:]\n"
                                     "C:\\Lib\\named.dat\n"
                                     "y\n"
                                     "2\tactive\n";
    platform.files["C:\\Lib\\unnamed.dat"] = "zobooksdatafile 9\n" + book9(1, 3, -1, 1);
    platform.files["C:\\Lib\\named.dat"] = "zobooksdatafile 9\n" + book9(1, 0, -1, 1);

    RunResult r = run(platform, {});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.err, "quillora-update: a package section with no name (book data file "
                     "\"$+HOME.\\unnamed.dat\", 2 items) is not written back to Quillora.ini\n");
    const std::string& ini = platform.files["Quillora.ini"];
    EXPECT_EQ(ini.find("unnamed.dat"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[Named:]\n"), std::string::npos) << ini;
}

TEST(BookDataRun, EveryKindOfEveryVersionRoundTripsAndASecondRunChangesNothing) {
    FakePlatform platform = installed();
    std::string ini = "Version 9\n[Categories]\n1\t16\tAll|x|0 0 0|\n";
    for (int version = 3; version <= 9; ++version) {
        const std::string v = std::to_string(version);
        ini += "[Version" + v + ":]\n$+HOME.\\v" + v + ".dat\ns\n" + v + "\tactive\n\n";
        platform.files["C:\\Lib\\v" + v + ".dat"] = testing::everyKindLibrary(version, false);
    }
    platform.files["Quillora.ini"] = ini;

    RunResult first = run(platform, {});
    EXPECT_EQ(first.status, kExitOk) << first.err;
    for (int version = 3; version <= 9; ++version) {
        EXPECT_EQ(platform.files["C:\\Lib\\v" + std::to_string(version) + ".dat"],
                  testing::everyKindLibrary(version, true))
            << version;
    }
    const auto afterFirst = platform.files;
    RunResult second = run(platform, {});
    EXPECT_EQ(second.status, kExitOk) << second.err;
    EXPECT_EQ(platform.files, afterFirst);
}

// Two packages that name one book data file: the second reads what the first
// staged, so a book renumbered by the first is not renumbered again, and the
// file is written once with both packages' changes.
TEST(BookDataRun, TwoPackagesSharingOneFileSeeEachOthersChanges) {
    FakePlatform platform = installed();
    platform.files["Quillora.ini"] = "Version 9\n"
                                     "[Categories]\n"
                                     "1\t16\tAll|x|0 0 0|\n"
                                     "[One:]\n"
                                     "C:\\Lib\\shared.dat\n"
                                     "x\n"
                                     "1\tactive\n"
                                     "D\t3\tC:\\Lib\\copied\n"
                                     "\n"
                                     "[Two:]\n"
                                     "C:\\Lib\\shared.dat\n"
                                     "y\n"
                                     "2\tactive\n"
                                     "D\t3\tC:\\Lib\\other\n";
    platform.files["C:\\Lib\\shared.dat"] = "zobooksdatafile 5\n" + book5(1, 3);

    RunResult r = run(platform, {"updatedir", "maintain=n"});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out, "Will set maintain flag to false\n"
                     "Will update directory entries for copied books.\n"
                     "Reading Quillora.ini\n"
                     "\tLoading One\n"
                     "Updating Book1 id 3 to 101\n"
                     "\tSaving\n"
                     "\tLoading Two\n"
                     "\tSaving\n"
                     "Saving Quillora.ini\n");
    EXPECT_EQ(platform.files["C:\\Lib\\shared.dat"], "zobooksdatafile 9\n" + book9(1, 101, -1, 0));
    const std::string& ini = platform.files["Quillora.ini"];
    EXPECT_NE(ini.find("D\t101\t$+HOME.\\copied\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("D\t3\t$+HOME.\\other\n"), std::string::npos) << ini;
    // Both contents were staged, the file put in place once.
    EXPECT_EQ(platform.disk.renameCount, 2);
    EXPECT_EQ(platform.files.size(), 2u);
}

// The power goes at each change a run makes to the disk, in turn. Whatever
// the disk kept of what was not flushed, the next run (other options) gives
// what it gives after the whole first run, or alone.
TEST(BookDataRun, APowerCutAtAnyPointLeavesTheFirstRunWholeOrUndone) {
    FakePlatform original = installed();
    original.files["Quillora.ini"] = "Version 9\n"
                                     "[Categories]\n"
                                     "1\t16\tAll|x|0 0 0|\n"
                                     "[Home:]\n"
                                     "C:\\Lib\\home.dat\n"
                                     "x\n"
                                     "1\tactive\n"
                                     "D\t3\tC:\\Lib\\copied\n"
                                     "\n"
                                     "[Local:]\n"
                                     "C:\\Lib\\Local\\local.dat\n"
                                     "y\n"
                                     "2\tactive\n"
                                     "D\t4\tC:\\Lib\\Local\\other\n";
    original.files["C:\\Lib\\home.dat"] = "zobooksdatafile 5\n" + book5(1, 3) + book5(2, 3);
    original.files["C:\\Lib\\Local\\local.dat"] = "zobooksdatafile 9\n" + book9(1, 4, -1, 1);
    const std::vector<std::string> first = {"updatedir", "maintain=n"};
    const std::vector<std::string> second = {"active=n", "maintain=y"};

    FakePlatform clean(original);
    ASSERT_EQ(run(clean, first).status, kExitOk);
    const int changes = clean.disk.changes();
    ASSERT_EQ(run(clean, second).status, kExitOk);
    const testing::FileMap counted = clean.files;
    FakePlatform alone(original);
    ASSERT_EQ(run(alone, second).status, kExitOk);
    const testing::FileMap notCounted = alone.files;
    ASSERT_NE(counted, notCounted);

    std::size_t states = 0;
    for (int cut = 1; cut <= changes; ++cut) {
        FakePlatform cutShort(original);
        cutShort.disk.cutPowerAt(cut);
        EXPECT_NE(run(cutShort, first).status, kExitOk) << cut;
        ASSERT_TRUE(cutShort.disk.powerCut()) << cut;
        for (const testing::DiskState& disk :
             cutShort.disk.statesAfterPowerCut(6, 64, static_cast<std::uint64_t>(cut))) {
            ++states;
            FakePlatform next(original);
            next.disk.restart(disk);
            RunResult r = run(next, second);
            EXPECT_EQ(r.status, kExitOk) << "power cut at change " << cut << ": " << r.err;
            EXPECT_TRUE(next.files == counted || next.files == notCounted)
                << "power cut at change " << cut << " left a library no run gives";
        }
    }
    EXPECT_GE(states, static_cast<std::size_t>(changes));
    std::printf("power-cut points: %d, disk states: %zu\n", changes, states);
}

} // namespace
} // namespace quillora
