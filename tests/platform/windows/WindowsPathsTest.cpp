#include "platform/posix/formats/PathParts.h"
#include "platform/windows/WindowsPlatform.h"
#include "product/PathMacro.h"
#include "product/ProgramLocation.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

namespace quillora {
namespace {

// The stand-in of the other hosts and the fake is held to the real one.
TEST(WindowsPaths, SplitPathAgreesWithTheStandIn) {
    WindowsPlatform platform;
    for (const char* path : {"C:\\Apps\\Viewer\\Bin\\tool.exe", "C:tool.exe", "tool.exe",
                             "C:/Apps/tool.exe", "\\\\server\\share\\tool.exe", "\\tool", ""}) {
        std::string drive;
        std::string dir;
        std::string standInDrive;
        std::string standInDir;
        platform.splitPath(path, drive, dir);
        splitPathParts(path, standInDrive, standInDir);
        EXPECT_EQ(drive, standInDrive) << path;
        EXPECT_EQ(dir, standInDir) << path;
    }
}

TEST(WindowsPaths, FullPathFoldsDotsAndCompletesRelativePaths) {
    WindowsPlatform platform;
    EXPECT_EQ(platform.fullPath("C:\\Apps\\..\\Viewer\\.\\tool.exe"), "C:\\Viewer\\tool.exe");
    char current[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(sizeof current, current), 0u);
    std::string base = current;
    if (base.back() != '\\') {
        base += '\\';
    }
    EXPECT_EQ(platform.fullPath("Bin\\tool.exe"), base + "Bin\\tool.exe");
    // Too long for the 260-character buffer: no result.
    EXPECT_EQ(platform.fullPath("C:\\" + std::string(300, 'p')), "");
}

TEST(WindowsPaths, ProgramLocationIsTheParentOfTheProgramsFolder) {
    struct Case {
        std::string program;
        const char* home;
    };
    const Case cases[] = {
        {"C:\\Apps\\Viewer\\Bin\\tool.exe", "C:\\Apps\\Viewer"},
        {"C:\\Apps\\Viewer\\Bin\\\\tool.exe", "C:\\Apps\\Viewer"},
        {"C:\\tool.exe", "."},
    };
    WindowsPlatform platform;
    for (const Case& c : cases) {
        InstallDirectories directories;
        locateProgram(directories, c.program, platform);
        EXPECT_EQ(directories.home, c.home) << c.program;
        EXPECT_EQ(directories.local, c.home) << c.program;
    }
}

TEST(WindowsPaths, RelativeProgramPathLocatesLikeTheAbsoluteOne) {
    WindowsPlatform platform;
    InstallDirectories relative;
    InstallDirectories absolute;
    locateProgram(relative, "Bin\\tool.exe", platform);
    locateProgram(absolute, platform.fullPath("Bin\\tool.exe"), platform);
    EXPECT_EQ(relative.home, absolute.home);
    EXPECT_NE(relative.home, ".");
}

} // namespace
} // namespace quillora
