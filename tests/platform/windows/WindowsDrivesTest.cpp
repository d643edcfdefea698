#include "platform/windows/WindowsPlatform.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(WindowsDrives, TypeOfASystemDriveAndOfANonRoot) {
    WindowsPlatform platform;
    EXPECT_EQ(platform.driveType("c:\\"), DriveType::Fixed);
    EXPECT_EQ(platform.driveType("c:\\no such folder\\"), DriveType::NoRootDir);
}

} // namespace
} // namespace quillora
