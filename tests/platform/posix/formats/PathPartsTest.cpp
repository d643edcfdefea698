#include "platform/posix/formats/PathParts.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(PathParts, SplitGivesDriveAndFolder) {
    struct Case {
        const char* path;
        const char* drive;
        const char* dir;
    };
    const Case cases[] = {
        {"C:\\Apps\\Viewer\\Bin\\tool.exe", "C:", "\\Apps\\Viewer\\Bin\\"},
        {"C:\\tool.exe", "C:", "\\"},
        {"C:tool.exe", "C:", ""},
        {"tool.exe", "", ""},
        {"C:/Apps/tool.exe", "C:", "/Apps/"},
        {"\\\\server\\share\\tool.exe", "", "\\\\server\\share\\"},
    };
    for (const Case& c : cases) {
        std::string drive = "x";
        std::string dir = "x";
        splitPathParts(c.path, drive, dir);
        EXPECT_EQ(drive, c.drive) << c.path;
        EXPECT_EQ(dir, c.dir) << c.path;
    }
}

TEST(PathParts, FullPathFoldsDotsWithoutLeavingTheRoot) {
    struct Case {
        const char* path;
        const char* current;
        const char* full;
    };
    const Case cases[] = {
        {"/srv/lib/../books/./guide.dat", "/x", "/srv/books/guide.dat"},
        {"bin/../../tool", "/opt/quillora", "/opt/tool"},
        {"\\srv\\lib\\..\\books", "/x", "/srv/books"},
        {"/../..", "/x", "/"},
        {"tool", "/", "/tool"},
        {"", "/x", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(foldedFullPath(c.path, c.current), c.full) << c.path;
    }
}

} // namespace
} // namespace quillora
