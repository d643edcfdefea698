// Tags X and Y: one layout for every file version; Y lacks text8.
#include "bookdata/ExtractGroupEntry.h"
#include "bookdata/ExtractSingleEntry.h"
#include "bookdata/GroupEntry.h"
#include "bookdata/ProgramEntry.h"

#include "BookDataTestSupport.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

using testing::readRecord;
using testing::writeRecord;

const std::string kSingleLine = "31\t2\t5\tExtract|t8|t2|t3|t4|t5|t6|t7|1\t2\t1\t2\t0\t1\t\n";
const std::string kGroupLine = "32\t2\t5\tExtracts|t2|t3|t4|t5|t6|t7|1\t2\t1\t2\t0\t1\t\n";

TEST(ExtractEntries, EveryVersionReadsTheFullLayoutWithoutTypeCodes) {
    for (std::int32_t version = 3; version <= 9; ++version) {
        auto single = readRecord<ExtractSingleEntry>(kSingleLine, version);
        auto group = readRecord<ExtractGroupEntry>(kGroupLine, version);
        ASSERT_NE(single, nullptr) << version;
        ASSERT_NE(group, nullptr) << version;
        EXPECT_EQ(single->text(TextField::text8), "t8");
        EXPECT_EQ(single->text(TextField::text2), "t2");
        EXPECT_EQ(group->text(TextField::text2), "t2");
        EXPECT_EQ(single->text(TextField::text7), "t7");
        EXPECT_EQ(group->text(TextField::text7), "t7");
        for (const ExtractEntry* e : {static_cast<const ExtractEntry*>(single.get()),
                                      static_cast<const ExtractEntry*>(group.get())}) {
            EXPECT_EQ(e->auxNumber, 2u);
            EXPECT_EQ(e->directoryId, 5);
            EXPECT_EQ(e->typeBits, 1) << version; // never mapped
            EXPECT_EQ(e->levelCode, 2);
            EXPECT_EQ(e->extraFlag, 1);
            EXPECT_EQ(e->displayKind, 2);
            EXPECT_EQ(e->imageId, 10); // whatever the display code
            EXPECT_EQ(e->active, 0);
            EXPECT_EQ(e->maintain, 1);
        }
        EXPECT_EQ(writeRecord(*single), "X\t" + kSingleLine);
        EXPECT_EQ(writeRecord(*group), "Y\t" + kGroupLine);
    }
}

TEST(ExtractEntries, TypeCode1InVersions6And7OnlyMapsForBookGroupAndProgramKinds) {
    for (std::int32_t version : {6, 7}) {
        auto single =
            readRecord<ExtractSingleEntry>("1\t0\t0\tn||||||||1\t0\t0\t1\t-1\t1\t\n", version);
        auto group =
            readRecord<ExtractGroupEntry>("1\t0\t0\tn|||||||1\t0\t0\t1\t-1\t1\t\n", version);
        auto program = readRecord<ProgramEntry>("1\t0\t0\tn|||||||1\t-1\t1\t\n", version);
        ASSERT_NE(single, nullptr);
        ASSERT_NE(group, nullptr);
        ASSERT_NE(program, nullptr);
        EXPECT_EQ(single->typeBits, 1);
        EXPECT_EQ(group->typeBits, 1);
        EXPECT_EQ(program->typeBits, version == 6 ? 0x80 : 1);
    }
}

TEST(ExtractEntries, NumbersAreFoldedIntoRange) {
    auto single = readRecord<ExtractSingleEntry>("1\t0\t0\tn||||||||300\t7\t2\t257\t5\t2\t\n", 9);
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->typeBits, 44);
    EXPECT_EQ(single->levelCode, 0);
    EXPECT_EQ(single->extraFlag, 0);
    EXPECT_EQ(single->displayKind, 1);
    EXPECT_EQ(single->active, -1);
    EXPECT_EQ(single->maintain, 0);
    EXPECT_EQ(writeRecord(*single), "X\t1\t0\t0\tn||||||||44\t0\t0\t1\t-1\t0\t\n");
}

TEST(ExtractEntries, AnExtractSingleLayoutUnderTagYFails) {
    bool ok = true;
    readRecord<ExtractGroupEntry>(kSingleLine, 9, ok);
    EXPECT_FALSE(ok);
    // and the Y layout under tag X runs into the numbers too
    readRecord<ExtractSingleEntry>(kGroupLine, 9, ok);
    EXPECT_FALSE(ok);
}

} // namespace
} // namespace quillora
