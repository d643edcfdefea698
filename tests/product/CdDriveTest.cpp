#include "product/CdDrive.h"
#include "platform/Platform.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(FindCdDrive, FirstCdRomFromCToY) {
    struct Case {
        std::map<char, unsigned> drives;
        const char* expected;
    };
    const Case cases[] = {
        {{}, ""},
        {{{'c', kDriveFixed}, {'e', kDriveCdRom}, {'f', kDriveCdRom}}, "e:"},
        {{{'z', kDriveCdRom}}, ""}, // 'z' is not examined
        {{{'a', kDriveCdRom}, {'b', kDriveCdRom}}, ""},
        {{{'y', kDriveCdRom}}, "y:"},
        {{{'c', kDriveCdRom}}, "c:"},
        {{{'d', kDriveRemovable}, {'g', kDriveRemote}}, ""},
    };
    for (const Case& c : cases) {
        testing::FakePlatform platform;
        platform.drives = c.drives;
        EXPECT_EQ(findCdDrive(platform), c.expected);
    }
}

} // namespace
} // namespace quillora
