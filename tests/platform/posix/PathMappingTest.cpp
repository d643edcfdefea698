#include "platform/posix/PathMapping.h"
#include "platform/posix/PosixPlatform.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

class PathMapping : public ::testing::Test {
protected:
    PathMapping() {
        library.write("lib/books/guide.dat", "guide");
        library.write("lib/Mixed Case/Notes.TXT", "notes");
        // Names that differ only in case, files and folders: the first in byte
        // order (GUIDE.DAT, SHELF) is made neither first nor last, so that the
        // order a folder lists its names in is unlikely to pick it by chance.
        for (const char* name : {"guide.dat", "Guide.dat", "GUIDE.dat", "GUIDE.DAT", "GUIDE.DAt",
                                 "guide.DAT", "gUIDE.DAT"}) {
            library.write(std::string("lib/twice/") + name, name);
        }
        for (const char* name : {"shelf", "Shelf", "SHELF", "sHELF", "SHElf"}) {
            library.write(std::string("lib/shelves/") + name + "/notes.txt", name);
        }
        library.write("cd/Books/Guide.dat", "from the CD");
        library.writeStore(testing::driveTable({{"d:", "cdrom", library.path("cd")},
                                                {"e:", "hd", library.path("cd") + "/"},
                                                {"r:", "hd", "/"}}));
        settings.registryFile = library.path("registry.reg");
    }
    testing::TempLibrary library;
    PosixSettings settings;
};

TEST_F(PathMapping, WindowsPathsFindTheirFiles) {
    PosixPlatform platform(settings);
    const std::string root = library.path();
    struct Case {
        std::string stored;
        std::string host;
    };
    const Case cases[] = {
        // "$+HOME.\books\guide.dat" with the home directory /srv/lib
        {root + "/lib\\Books\\GUIDE.DAT", root + "/lib/books/guide.dat"},
        {root + "/lib/books/guide.dat", root + "/lib/books/guide.dat"},
        {root + "/LIB\\mixed case\\notes.txt", root + "/lib/Mixed Case/Notes.TXT"},
        {root + "\\lib\\\\Books\\guide.dat", root + "/lib/books/guide.dat"},
        // An exact match wins; among matches that differ in case, the first in byte order.
        {root + "/lib/twice/guide.dat", root + "/lib/twice/guide.dat"},
        {root + "/lib/twice/gUiDe.dAt", root + "/lib/twice/GUIDE.DAT"},
        {root + "/lib/shelves/sHeLf/Notes.txt", root + "/lib/shelves/SHELF/notes.txt"},
        // From the first part that matches nothing, the path stays as stored.
        {root + "/LIB\\Books\\Missing\\Guide.dat", root + "/lib/books/Missing/Guide.dat"},
        // Drive letters through the drive table.
        {"d:\\books\\guide.dat", root + "/cd/Books/Guide.dat"},
        {"D:books\\GUIDE.DAT", root + "/cd/Books/Guide.dat"},
        {"e:\\Books", root + "/cd/Books"},
        {"d:", root + "/cd"},
        {"r:" + root + "\\LIB", root + "/lib"},
        {"x:\\books\\guide.dat", "x:/books/guide.dat"}, // no such drive: kept
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform.hostPath(c.stored), c.host) << c.stored;
    }
}

TEST_F(PathMapping, ReadFileReportsWhereItFoundTheFile) {
    PosixPlatform platform(settings);
    Expected<FileBytes> file = platform.readFile("D:\\BOOKS\\guide.DAT");
    ASSERT_TRUE(file.ok()) << file.status().reason();
    EXPECT_EQ(file->bytes, "from the CD");
    EXPECT_EQ(file->resolvedPath.text(), library.path("cd/Books/Guide.dat"));
    // Saving goes back to that file.
    const Status saved = platform.replaceFile(file->resolvedPath, "saved");
    ASSERT_TRUE(saved.ok()) << saved.reason();
    EXPECT_EQ(library.read("cd/Books/Guide.dat"), "saved");

    const Expected<FileBytes> none = platform.readFile("d:\\books\\none.dat");
    EXPECT_FALSE(none.ok());
    const std::string& error = none.status().reason();
    EXPECT_NE(error.find(library.path("cd/Books/none.dat")), std::string::npos) << error;
}

TEST_F(PathMapping, MatchingWithoutADriveTable) {
    const std::string root = library.path();
    EXPECT_EQ(matchPathNoCase(root + "/LIB/BOOKS/GUIDE.DAT"), root + "/lib/books/guide.dat");
    EXPECT_EQ(matchPathNoCase(root + "/lib/./BOOKS/../books/Guide.dat"),
              root + "/lib/./books/../books/guide.dat");
    EXPECT_EQ(matchPathNoCase(""), "");
}

} // namespace
} // namespace quillora
