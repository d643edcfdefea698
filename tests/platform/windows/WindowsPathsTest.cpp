#include "platform/windows/WindowsPlatform.h"
#include "product/PathMacro.h"
#include "product/ProgramLocation.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

namespace quillora {
namespace {

TEST(WindowsPaths, SplitPathGivesDriveAndDirectory) {
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
    WindowsPlatform platform;
    for (const Case& c : cases) {
        std::string drive = "x";
        std::string dir = "x";
        platform.splitPath(c.path, drive, dir);
        EXPECT_EQ(drive, c.drive) << c.path;
        EXPECT_EQ(dir, c.dir) << c.path;
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
