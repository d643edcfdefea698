#include "platform/windows/WindowsPlatform.h"
#include "product/CdDrive.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(WindowsDrives, TypeOfASystemDriveAndOfANonRoot) {
    WindowsPlatform platform;
    EXPECT_EQ(platform.driveType("c:\\"), kDriveFixed);
    EXPECT_EQ(platform.driveType("c:\\no such folder\\"), kDriveNoRootDir);
}

// Run by the process tests in a Wine prefix with a CD-ROM drive configured,
// naming the drive they expect; without one there is nothing to compare with.
TEST(WindowsDrives, FindsTheConfiguredCdRomDrive) {
    const char* expected = std::getenv("QUILLORA_EXPECTED_CD_DRIVE");
    if (expected == nullptr) {
        GTEST_SKIP() << "QUILLORA_EXPECTED_CD_DRIVE names no drive";
    }
    WindowsPlatform platform;
    EXPECT_EQ(findCdDrive(platform), expected);
}

} // namespace
} // namespace quillora
