#include "platform/windows/ScratchFolder.h"
#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace quillora {
namespace {

using testing::fileExists;
using testing::namesIn;
using testing::readBytes;
using testing::ScratchFolder;
using testing::writeBytes;

// The current directory for a scope, as the tool runs in the catalogue's folder.
class InFolder {
public:
    explicit InFolder(const std::string& folder) {
        entered_ = GetCurrentDirectoryA(sizeof previous_, previous_) != 0 &&
                   SetCurrentDirectoryA(folder.c_str());
    }
    ~InFolder() {
        if (entered_) {
            SetCurrentDirectoryA(previous_);
        }
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;
    bool entered() const { return entered_; }

private:
    char previous_[MAX_PATH] = "";
    bool entered_ = false;
};

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

// Windows finds a file whatever the case of its name, but a rename gives it the
// spelling it is handed: the file must be written back under its own.
TEST(WindowsFiles, FileNamedInAnotherCaseKeepsItsNameWhenWrittenBack) {
    struct Case {
        const char* onDisk; // folder and file, as created
        const char* named;  // as the caller spells them
        const char* found;  // the path readFile reports, below the scratch folder
    };
    const Case cases[] = {
        {"Books\\v5.dat", "Books\\V5.DAT", "Books\\v5.dat"},
        {"Books\\Guide.Dat", "Books\\gUIDE.dAT", "Books\\Guide.Dat"},
        {"Books\\same.dat", "Books\\same.dat", "Books\\same.dat"},
        // Only the file's own name is looked up; the folder stays as given.
        {"Books\\v6.dat", "BOOKS\\V6.DAT", "BOOKS\\v6.dat"},
        {"Books\\v7.dat", "books/V7.dat", "books/v7.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        ScratchFolder folder;
        ASSERT_TRUE(CreateDirectoryA((folder / "Books").c_str(), nullptr));
        writeBytes(folder / c.onDisk, "old");
        WindowsPlatform platform;
        FileBytes file;
        std::string error;
        ASSERT_TRUE(platform.readFile(folder / c.named, file, error)) << error;
        EXPECT_EQ(file.bytes, "old");
        EXPECT_EQ(file.resolvedPath, folder / c.found);

        ASSERT_TRUE(platform.replaceFile(file.resolvedPath, "new", error)) << error;
        const std::string onDisk = c.onDisk;
        const std::string name = onDisk.substr(onDisk.find('\\') + 1);
        EXPECT_EQ(namesIn(folder / "Books"), std::vector<std::string>{name});
        EXPECT_EQ(readBytes(folder / c.onDisk), "new");
    }
}

// The catalogue is read by a relative name: the answer stays relative.
TEST(WindowsFiles, RelativeNameInAnotherCaseGivesTheNameOnDisk) {
    ScratchFolder folder;
    writeBytes(folder / "quillora.ini", "old");
    InFolder in(folder.path());
    ASSERT_TRUE(in.entered());
    WindowsPlatform platform;
    FileBytes file;
    std::string error;
    ASSERT_TRUE(platform.readFile("Quillora.ini", file, error)) << error;
    EXPECT_EQ(file.resolvedPath, "quillora.ini");
    ASSERT_TRUE(platform.replaceFile(file.resolvedPath, "new", error)) << error;
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"quillora.ini"});
}

// Renamed onto its short name, a file would lose its long one.
TEST(WindowsFiles, FileNamedByItsShortNameKeepsItsLongName) {
    ScratchFolder folder;
    const std::string longName = "Guide to the library.dat";
    writeBytes(folder / longName, "old");
    char shortPath[MAX_PATH];
    DWORD length = GetShortPathNameA((folder / longName).c_str(), shortPath, sizeof shortPath);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, sizeof shortPath);
    const std::string named(shortPath, length);
    ASSERT_EQ(named.find(longName), std::string::npos) << "no short name: " << named;

    WindowsPlatform platform;
    FileBytes file;
    std::string error;
    ASSERT_TRUE(platform.readFile(named, file, error)) << error;
    EXPECT_EQ(file.resolvedPath, named.substr(0, named.find_last_of('\\') + 1) + longName);
    ASSERT_TRUE(platform.replaceFile(file.resolvedPath, "new", error)) << error;
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{longName});
    EXPECT_EQ(readBytes(folder / longName), "new");
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
    InFolder in(folder.path());
    ASSERT_TRUE(in.entered());
    WindowsPlatform platform;
    std::string error;
    EXPECT_TRUE(platform.replaceFile("relative.dat", "new", error)) << error;
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
