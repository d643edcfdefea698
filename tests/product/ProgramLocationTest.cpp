#include "product/ProgramLocation.h"
#include "catalog/LibraryCatalog.h"
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
        LibraryCatalog catalog;
        locateProgram(catalog, c.program, platform);
        EXPECT_EQ(catalog.homeDirectory, c.expected) << c.program;
        EXPECT_EQ(catalog.localDirectory, c.expected) << c.program;
    }
}

} // namespace
} // namespace quillora
