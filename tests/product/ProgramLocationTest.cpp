#include "product/ProgramLocation.h"
#include "product/PathMacro.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(LocateProgram, HomeIsTheParentOfTheProgramsDirectory) {
    struct Case {
        const char* program;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Apps\\Viewer\\Bin\\tool.exe", "C:\\Apps\\Viewer"},
        {"C:\\tool.exe", "."},
        {"C:\\Bin\\tool.exe", "C:"},
        {"Bin\\tool.exe", "C:\\Work"}, // relative: through the current directory
        {"tool.exe", "C:"},
    };
    for (const Case& c : cases) {
        testing::FakePlatform platform;
        InstallDirectories directories;
        locateProgram(directories, c.program, platform);
        EXPECT_EQ(directories.home, c.expected) << c.program;
        EXPECT_EQ(directories.local, c.expected) << c.program;
    }
}

} // namespace
} // namespace quillora
