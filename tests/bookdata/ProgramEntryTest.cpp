#include "bookdata/ProgramEntry.h"

#include "BookDataTestSupport.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

using testing::readRecord;
using testing::writeRecord;

TEST(ProgramEntry, Version3LineIsWrittenBackWithEveryField) {
    auto program = readRecord<ProgramEntry>("21\t4\tViewer|t2|t3|t5|t6|2\t-1\t1\t\n", 3);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->id, 21);
    EXPECT_EQ(program->auxNumber, 0u);
    EXPECT_EQ(program->directoryId, 4);
    EXPECT_EQ(program->text(TextField::text2), "t2");
    EXPECT_EQ(program->text(TextField::text4), "");
    EXPECT_EQ(program->text(TextField::text5), "t5");
    EXPECT_EQ(program->text(TextField::text7), "");
    EXPECT_EQ(program->text(TextField::text8), "");
    EXPECT_EQ(program->typeBits, 0x20);
    EXPECT_EQ(program->levelCode, 0);
    EXPECT_EQ(program->extraFlag, 0);
    EXPECT_EQ(program->imageId, 10);
    EXPECT_EQ(writeRecord(*program), "P\t21\t0\t4\tViewer||t2|t3||t5|t6||32\t0\t0\t-1\t1\t\n");
}

TEST(ProgramEntry, Version9LineRoundTripsAndEndsWithTabNewline) {
    const std::string line = "21\t6\t4\tViewer|t8|t2|t3|t4|t5|t6|t7|255\t1\t1\t0\t0\t\n";
    auto program = readRecord<ProgramEntry>(line, 9);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->text(TextField::text8), "t8");
    EXPECT_EQ(program->levelCode, 1);
    EXPECT_EQ(program->extraFlag, 1);
    EXPECT_EQ(program->maintain, 0);
    EXPECT_EQ(writeRecord(*program), "P\t" + line);
}

TEST(ProgramEntry, TheSecondStringIsText8FromVersion8On) {
    auto v7 = readRecord<ProgramEntry>("1\t0\t4\tn|second|t3|t4|t5|t6|t7|16\t-1\t1\t\n", 7);
    auto v8 = readRecord<ProgramEntry>("1\t0\t4\tn|second|t2|t3|t4|t5|t6|t7|16\t-1\t1\t\n", 8);
    ASSERT_NE(v7, nullptr);
    ASSERT_NE(v8, nullptr);
    EXPECT_EQ(v7->text(TextField::text2), "second");
    EXPECT_EQ(v7->text(TextField::text8), "");
    EXPECT_EQ(v8->text(TextField::text8), "second");
    EXPECT_EQ(v8->text(TextField::text2), "t2");
    EXPECT_EQ(v8->levelCode, 0); // levelCode and extraFlag only from version 9
}

TEST(ProgramEntry, ActiveAndMaintainAreFolded) {
    auto program = readRecord<ProgramEntry>("1\t0\t4\tn||||||||16\t0\t2\t5\t2\t\n", 9);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->active, -1);
    EXPECT_EQ(program->maintain, 0);
    EXPECT_EQ(program->extraFlag, 0);
    EXPECT_EQ(writeRecord(*program), "P\t1\t0\t4\tn||||||||16\t0\t0\t-1\t0\t\n");
}

TEST(ProgramEntry, VersionsBelowTheOldestAreRefused) {
    bool ok = true;
    readRecord<ProgramEntry>("1\t4\tn|||||16\t-1\t1\t\n", 2, ok);
    EXPECT_FALSE(ok);
}

} // namespace
} // namespace quillora
