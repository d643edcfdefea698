#include "platform/windows/ScratchFolder.h"
#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace quillora {
namespace {

using testing::fileExists;
using testing::readBytes;
using testing::ScratchFolder;
using testing::writeBytes;

// Bytes that text mode would change: CR LF, a lone LF, Ctrl-Z and a zero.
const char kRaw[] = "Version 9\r\nline\n\x1a tail\0end";
const std::string kRawBytes(kRaw, sizeof kRaw - 1);

TEST(WindowsFiles, ReadFileGivesTheBytesAsStored) {
    ScratchFolder folder;
    writeBytes(folder / "Quillora.ini", kRawBytes);
    WindowsPlatform platform;
    FileBytes file;
    std::string error;
    ASSERT_TRUE(platform.readFile(folder / "Quillora.ini", file, error)) << error;
    EXPECT_EQ(file.bytes, kRawBytes);
    EXPECT_EQ(file.resolvedPath, folder / "Quillora.ini");
}

TEST(WindowsFiles, ReadFileReportsAMissingFile) {
    ScratchFolder folder;
    WindowsPlatform platform;
    FileBytes file;
    file.bytes = "before";
    std::string error;
    EXPECT_FALSE(platform.readFile(folder / "missing.dat", file, error));
    EXPECT_NE(error.find("missing.dat"), std::string::npos) << error;
    EXPECT_EQ(file.bytes, "before");
}

TEST(WindowsFiles, ReplaceFileCreatesAndReplacesWithTheExactBytes) {
    ScratchFolder folder;
    WindowsPlatform platform;
    std::string error;
    ASSERT_TRUE(platform.replaceFile(folder / "new.dat", kRawBytes, error)) << error;
    EXPECT_EQ(readBytes(folder / "new.dat"), kRawBytes);

    ASSERT_TRUE(platform.replaceFile(folder / "new.dat", "second\n", error)) << error;
    EXPECT_EQ(readBytes(folder / "new.dat"), "second\n");
    EXPECT_FALSE(fileExists(folder / "new.dat.quillora-tmp"));
}

TEST(WindowsFiles, ReplaceFileKeepsTheOldFilesAttributes) {
    ScratchFolder folder;
    writeBytes(folder / "hidden.dat", "old");
    ASSERT_TRUE(SetFileAttributesA((folder / "hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN));
    WindowsPlatform platform;
    std::string error;
    ASSERT_TRUE(platform.replaceFile(folder / "hidden.dat", "new", error)) << error;
    EXPECT_EQ(readBytes(folder / "hidden.dat"), "new");
    EXPECT_NE(GetFileAttributesA((folder / "hidden.dat").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(WindowsFiles, ReplaceFileTakesARelativeName) {
    ScratchFolder folder;
    writeBytes(folder / "relative.dat", "old");
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(sizeof previous, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.path().c_str()));
    WindowsPlatform platform;
    std::string error;
    bool replaced = platform.replaceFile("relative.dat", "new", error);
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(replaced) << error;
    EXPECT_EQ(readBytes(folder / "relative.dat"), "new");
}

TEST(WindowsFiles, ReadOnlyFileIsLeftAsItWas) {
    ScratchFolder folder;
    writeBytes(folder / "locked.dat", "old");
    ASSERT_TRUE(SetFileAttributesA((folder / "locked.dat").c_str(), FILE_ATTRIBUTE_READONLY));
    WindowsPlatform platform;
    std::string error;
    EXPECT_FALSE(platform.replaceFile(folder / "locked.dat", "new", error));
    EXPECT_NE(error.find("locked.dat"), std::string::npos) << error;
    EXPECT_EQ(readBytes(folder / "locked.dat"), "old");
    EXPECT_NE(GetFileAttributesA((folder / "locked.dat").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(fileExists(folder / "locked.dat.quillora-tmp"));
}

TEST(WindowsFiles, MissingFolderFailsWithoutLeavingAnything) {
    ScratchFolder folder;
    WindowsPlatform platform;
    std::string error;
    EXPECT_FALSE(platform.replaceFile(folder / "no such folder\\book.dat", "new", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fileExists(folder / "no such folder"));
}

} // namespace
} // namespace quillora
