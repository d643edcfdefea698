// Whole runs of the built program over temporary libraries, with the registry
// store, drive table and resource file set up as a user would.
#include "platform/posix/OtherUser.h"
#include "support/ProcessRun.h"
#include "support/RecordLines.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillora {
namespace {

using testing::Drive;
using testing::StoreKey;
using testing::TempLibrary;

constexpr const char* kAborted = "Error reading registry. Update aborted.\n";

std::vector<StoreKey> keys(StoreKey product, const std::vector<Drive>& drives = {}) {
    std::vector<StoreKey> all = testing::driveTable(drives);
    all.insert(all.begin(), std::move(product));
    return all;
}

// A catalogue with one package and its directory items 5 and 6.
std::string catalogue(const std::string& dataFile, const std::string& item5,
                      const std::string& item6, const char* id6 = "6") {
    return "Version 9\n[Categories]\n1\t16\tAll|x|0 0 0|\n[Guides:G]\n" + dataFile +
           "\nsecond\n1\tactive\nD\t5\t" + item5 + "\nD\t" + id6 + "\t" + item6 + "\n";
}

// Book 1 lies in directory 5, book 2 in directory 6.
std::string books(const char* id6 = "6") {
    testing::BookFields first;
    first.directory = "5";
    first.name = "First";
    first.displayKind = "1";
    testing::BookFields second = first;
    second.id = "2";
    second.directory = id6;
    second.name = "Second";
    return "zobooksdatafile 9\n" + testing::bookLine(first) + testing::bookLine(second);
}

class UpdateRun : public ::testing::Test {
protected:
    // The program in bin/ with its resource file, so that the home and local
    // directories its location gives are the temporary folder itself.
    UpdateRun() { library.installProgram(true); }
    TempLibrary library;
};

TEST_F(UpdateRun, LibraryCopiedFromWindowsRunsEndToEnd) {
    const std::string home = library.path("library");
    library.writeStore(keys(testing::productKey(home, home, "d:"),
                            {{"c:", "hd", "/"}, {"d:", "cdrom", library.path("cd")}}));
    const std::string store = library.read("registry.reg");
    library.write("library/Quillora.ini",
                  catalogue("$+HOME.\\Books\\GUIDE.DAT", "d:\\books", home + "\\copied"));
    library.write("library/books/guide.dat", books()); // as it lies on this machine

    testing::RunResult r = library.run({"updatedir"});
    EXPECT_EQ(r.out, "Will update directory entries for copied books.\n"
                     "Reading Quillora.ini\n"
                     "\tLoading Guides\n"
                     "Updating Second id 6 to 101\n"
                     "\tSaving\n"
                     "Saving Quillora.ini\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(library.read("library/books/guide.dat"), books("101"));
    EXPECT_EQ(library.read("library/Quillora.ini"),
              catalogue("$+HOME.\\Books\\GUIDE.DAT", "$+CD.\\books", "$+HOME.\\copied", "101") +
                  "\n");
    EXPECT_EQ(library.read("registry.reg"), store) << "the key existed: nothing to write";
}

TEST_F(UpdateRun, CdRomDriveStandsInForAMissingCdValue) {
    const std::string home = library.path("library");
    library.writeStore(keys(testing::productKey(home, home, ""),
                            {{"c:", "hd", "/"}, {"e:", "cdrom", ""}, {"f:", "cdrom", ""}}));
    library.write("library/Quillora.ini", catalogue("nowhere.dat", "E:\\Books", "F:\\Books"));

    testing::RunResult r = library.run();
    EXPECT_EQ(r.out.find("Error reading registry"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.rfind("Reading Quillora.ini\n", 0), 0u) << r.out;
    // The CD directory is e:, the first CD-ROM drive, and is abbreviated as such.
    EXPECT_EQ(library.read("library/Quillora.ini"),
              catalogue("nowhere.dat", "$+CD.\\Books", "F:\\Books") + "\n");
}

TEST_F(UpdateRun, MissingLocalValueAbortsTheRun) {
    const std::string home = library.path("library");
    library.writeStore(keys(testing::productKey(home, "", "d:")));
    const std::string before = catalogue("$+HOME.\\a.dat", "d:\\a", "d:\\b");
    library.write("library/Quillora.ini", before);

    testing::RunResult r = library.run({"maintain=n"});
    EXPECT_EQ(r.out, std::string("Will set maintain flag to false\n") + kAborted);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"LocalDirectory\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(library.path("registry.reg")), std::string::npos) << r.err;
    EXPECT_EQ(library.read("library/Quillora.ini"), before);
}

TEST_F(UpdateRun, MissingResourceFileAbortsWhenTheKeyIsReadable) {
    library.installProgram(false);
    const std::string home = library.path("library");
    library.writeStore(keys(testing::productKey(home, home, "d:")));

    testing::RunResult r = library.run();
    EXPECT_EQ(r.out, kAborted);
    EXPECT_NE(r.err.find("KIVRes.rc"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(library.path("bin")), std::string::npos) << r.err;

    // Found along the resource path instead.
    std::filesystem::copy_file(std::string(QUILLORA_SOURCE_DIR) + "/resources/KIVRes.rc",
                               library.path("KIVRes.rc"));
    library.environment["QUILLORA_RESOURCE_PATH"] = library.path("none") + ":" + library.path();
    r = library.run();
    EXPECT_EQ(r.out.rfind("Reading Quillora.ini\n", 0), 0u) << r.out;

    // Or where an installation puts it: ../share/quillora from the program's folder.
    library.environment.erase("QUILLORA_RESOURCE_PATH");
    std::filesystem::create_directories(library.path("share/quillora"));
    std::filesystem::rename(library.path("KIVRes.rc"), library.path("share/quillora/KIVRes.rc"));
    r = library.run();
    EXPECT_EQ(r.out.rfind("Reading Quillora.ini\n", 0), 0u) << r.out;
}

// A store the system does not let this user write (root may write any).
void readOnlyStoreForAnotherUser(testing::TempLibrary& library, const testing::OtherUser& user) {
    namespace fs = std::filesystem;
    fs::permissions(library.path("registry.reg"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    user.own(library.path("library"));
    library.runAs = user.ids();
}

TEST_F(UpdateRun, WithoutResourceFileOrKeyTheRunGoesOn) {
    testing::OtherUser user;
    SKIP_WITHOUT_OTHER_USER(user);
    // No value is read, so no value name is needed.
    library.installProgram(false);
    library.writeStore({});
    readOnlyStoreForAnotherUser(library, user);

    testing::RunResult r = library.run();
    EXPECT_EQ(r.out.rfind("Reading Quillora.ini\n", 0), 0u) << r.out;
    EXPECT_NE(r.err.find("KIVRes.rc"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("neither opened nor created"), std::string::npos) << r.err;
}

TEST_F(UpdateRun, StoreThatCannotBeWrittenLetsTheRunGoOnFromTheProgramsLocation) {
    testing::OtherUser user;
    SKIP_WITHOUT_OTHER_USER(user);
    // The product's key is not there and cannot be made.
    library.writeStore(testing::driveTable({{"d:", "cdrom", "/elsewhere"}}));
    // The program lies in <folder>/bin, so home and local are <folder>.
    library.write("library/Quillora.ini",
                  catalogue(library.path("library/a.dat"), "/elsewhere/x", "d:\\y"));
    readOnlyStoreForAnotherUser(library, user);

    testing::RunResult r = library.run();
    EXPECT_EQ(r.out.rfind("Reading Quillora.ini\n", 0), 0u) << r.out;
    EXPECT_NE(r.err.find("neither opened nor created"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Permission denied"), std::string::npos) << r.err;
    EXPECT_EQ(library.read("library/Quillora.ini"),
              catalogue("$+HOME./library/a.dat", "/elsewhere/x", "d:\\y") + "\n");
}

TEST_F(UpdateRun, FirstRunWithoutAStoreCreatesTheKeyAtTheDefaultLocation) {
    library.environment.erase("QUILLORA_REGISTRY");
    const std::string store = library.path("home/.config/quillora/registry.reg");

    testing::RunResult r = library.run();
    EXPECT_EQ(r.out, kAborted);
    EXPECT_EQ(library.read("home/.config/quillora/registry.reg"),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Tolvane Works\\Quillora]\n\n");
    EXPECT_NE(r.err.find(store), std::string::npos) << r.err;
}

} // namespace
} // namespace quillora
