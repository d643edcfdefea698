#include "product/CdDrive.h"
#include "platform/Platform.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(FindCdDrive, FirstCdRomFromCToY) {
    struct Case {
        std::map<char, DriveType> drives;
        const char* expected;
    };
    const Case cases[] = {
        {{}, ""},
        {{{'c', DriveType::Fixed}, {'e', DriveType::CdRom}, {'f', DriveType::CdRom}}, "e:"},
        {{{'z', DriveType::CdRom}}, ""}, // 'z' is not examined
        {{{'a', DriveType::CdRom}, {'b', DriveType::CdRom}}, ""},
        {{{'y', DriveType::CdRom}}, "y:"},
        {{{'c', DriveType::CdRom}}, "c:"},
        {{{'d', DriveType::Removable}, {'g', DriveType::Remote}}, ""},
    };
    for (const Case& c : cases) {
        testing::FakePlatform platform;
        platform.drives = c.drives;
        EXPECT_EQ(findCdDrive(platform), c.expected);
    }
}

} // namespace
} // namespace quillora
