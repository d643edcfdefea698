#include "commit/StagedFiles.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

std::string readThrough(Platform& platform, const std::string& name) {
    Expected<FileBytes> file = platform.readFile(name);
    EXPECT_TRUE(file.ok()) << file.status().reason();
    return file ? file->bytes : std::string();
}

TEST(StagedFiles, NothingChangesUntilCommitAndWaitingContentIsReadBack) {
    testing::FakePlatform platform;
    platform.files["a.dat"] = "old a";
    platform.files["b.dat"] = "old b";
    StagedFiles staged(platform, "Quillora.commit");
    Status staging = staged.stage(ResolvedPath("a.dat"), wholeContent("new a"));
    ASSERT_TRUE(staging.ok()) << staging.reason();
    staging = staged.stage(ResolvedPath("b.dat"), wholeContent("new b"));
    ASSERT_TRUE(staging.ok()) << staging.reason();
    EXPECT_EQ(platform.files["a.dat"], "old a");
    EXPECT_EQ(readThrough(staged, "a.dat"), "new a");
    EXPECT_EQ(readThrough(platform, "a.dat"), "old a");
    EXPECT_EQ(staged.waitingCount(), 2u);

    const Status committed = staged.commit();
    EXPECT_TRUE(committed.ok());
    EXPECT_TRUE(committed.reason().empty());
    EXPECT_EQ(platform.files["a.dat"], "new a");
    EXPECT_EQ(platform.files["b.dat"], "new b");
    EXPECT_EQ(platform.files.size(), 2u); // no temporary file left
}

TEST(StagedFiles, ASecondContentForOneTargetReplacesTheFirst) {
    testing::FakePlatform platform;
    platform.files["a.dat"] = "old";
    StagedFiles staged(platform, "Quillora.commit");
    ASSERT_TRUE(staged.stage(ResolvedPath("a.dat"), wholeContent("first")).ok());
    ASSERT_TRUE(staged.stage(ResolvedPath("a.dat"), wholeContent("second")).ok());
    EXPECT_EQ(readThrough(staged, "a.dat"), "second");
    // The old file, both waiting contents (the first goes at the commit) and
    // the commit record.
    EXPECT_EQ(platform.files.size(), 4u);
    EXPECT_TRUE(staged.commit().ok());
    EXPECT_EQ(platform.files["a.dat"], "second");
    EXPECT_EQ(platform.files.size(), 1u);
}

TEST(StagedFiles, DiscardAndDestructionLeaveTheOldFiles) {
    testing::FakePlatform platform;
    platform.files["a.dat"] = "old";
    {
        StagedFiles staged(platform, "Quillora.commit");
        ASSERT_TRUE(staged.stage(ResolvedPath("a.dat"), wholeContent("new")).ok());
        staged.discard();
        EXPECT_EQ(staged.waitingCount(), 0u);
        ASSERT_TRUE(staged.stage(ResolvedPath("a.dat"), wholeContent("newer")).ok());
    } // not committed
    EXPECT_EQ(platform.files.size(), 1u);
    EXPECT_EQ(platform.files["a.dat"], "old");
}

TEST(StagedFiles, AReadOnlyTargetFailsWhenWrittenNotAtCommit) {
    testing::FakePlatform platform;
    platform.files["a.dat"] = "old";
    platform.readOnly.insert("a.dat");
    StagedFiles staged(platform, "Quillora.commit");
    const Status refused = staged.stage(ResolvedPath("a.dat"), wholeContent("new"));
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.reason(), "");
    EXPECT_EQ(staged.waitingCount(), 0u);
}

} // namespace
} // namespace quillora
