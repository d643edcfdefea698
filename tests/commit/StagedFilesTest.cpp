#include "commit/StagedFiles.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

std::string readThrough(Platform& platform, const std::string& name) {
    FileBytes file;
    std::string error;
    EXPECT_TRUE(platform.readFile(name, file, error)) << error;
    return file.bytes;
}

TEST(StagedFiles, NothingChangesUntilCommitAndWaitingContentIsReadBack) {
    testing::FakePlatform platform;
    platform.files["a.dat"] = "old a";
    platform.files["b.dat"] = "old b";
    StagedFiles staged(platform, "Quillora.commit");
    std::string error;
    ASSERT_TRUE(staged.replaceFile(ResolvedPath("a.dat"), "new a", error)) << error;
    ASSERT_TRUE(staged.replaceFile(ResolvedPath("b.dat"), "new b", error)) << error;
    EXPECT_EQ(platform.files["a.dat"], "old a");
    EXPECT_EQ(readThrough(staged, "a.dat"), "new a");
    EXPECT_EQ(readThrough(platform, "a.dat"), "old a");
    EXPECT_EQ(staged.waitingCount(), 2u);

    std::vector<std::string> errors;
    EXPECT_TRUE(staged.commit(errors));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(platform.files["a.dat"], "new a");
    EXPECT_EQ(platform.files["b.dat"], "new b");
    EXPECT_EQ(platform.files.size(), 2u); // no temporary file left
}

TEST(StagedFiles, ASecondContentForOneTargetReplacesTheFirst) {
    testing::FakePlatform platform;
    platform.files["a.dat"] = "old";
    StagedFiles staged(platform, "Quillora.commit");
    std::string error;
    ASSERT_TRUE(staged.replaceFile(ResolvedPath("a.dat"), "first", error));
    ASSERT_TRUE(staged.replaceFile(ResolvedPath("a.dat"), "second", error));
    EXPECT_EQ(readThrough(staged, "a.dat"), "second");
    // The old file, both waiting contents (the first goes at the commit) and
    // the commit record.
    EXPECT_EQ(platform.files.size(), 4u);
    std::vector<std::string> errors;
    EXPECT_TRUE(staged.commit(errors));
    EXPECT_EQ(platform.files["a.dat"], "second");
    EXPECT_EQ(platform.files.size(), 1u);
}

TEST(StagedFiles, DiscardAndDestructionLeaveTheOldFiles) {
    testing::FakePlatform platform;
    platform.files["a.dat"] = "old";
    {
        StagedFiles staged(platform, "Quillora.commit");
        std::string error;
        ASSERT_TRUE(staged.replaceFile(ResolvedPath("a.dat"), "new", error));
        staged.discard();
        EXPECT_EQ(staged.waitingCount(), 0u);
        ASSERT_TRUE(staged.replaceFile(ResolvedPath("a.dat"), "newer", error));
    } // not committed
    EXPECT_EQ(platform.files.size(), 1u);
    EXPECT_EQ(platform.files["a.dat"], "old");
}

TEST(StagedFiles, AReadOnlyTargetFailsWhenWrittenNotAtCommit) {
    testing::FakePlatform platform;
    platform.files["a.dat"] = "old";
    platform.readOnly.insert("a.dat");
    StagedFiles staged(platform, "Quillora.commit");
    std::string error;
    EXPECT_FALSE(staged.replaceFile(ResolvedPath("a.dat"), "new", error));
    EXPECT_NE(error, "");
    EXPECT_EQ(staged.waitingCount(), 0u);
}

} // namespace
} // namespace quillora
