// Files of every version 3 to 9 holding every record kind, nested in groups, come
// back in the version-9 layout with the same values; a second save changes nothing.
#include "BookDataTestSupport.h"
#include "support/EveryKindLibrary.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

using testing::everyKindLibrary;
using testing::FakePlatform;
using testing::loadText;
using testing::saveText;

TEST(RoundTrip, EveryKindOfEveryVersionComesBackInTheNewestLayout) {
    for (std::int32_t version = 3; version <= 9; ++version) {
        const std::string expected = everyKindLibrary(version, true);
        FakePlatform fs;
        Package first;
        ASSERT_EQ(loadText(first, fs, everyKindLibrary(version, false)), result::Success)
            << version;
        EXPECT_EQ(first.allEntries.count(), 11u);
        EXPECT_EQ(first.rootEntries.count(), 2u);
        EXPECT_EQ(first.maxEntryId, 11);
        EXPECT_EQ(saveText(first, fs), expected) << version;

        Package second;
        ASSERT_EQ(loadText(second, fs, fs.files[testing::kDataFile]), result::Success);
        EXPECT_EQ(saveText(second, fs), expected) << version;
    }
}

} // namespace
} // namespace quillora
