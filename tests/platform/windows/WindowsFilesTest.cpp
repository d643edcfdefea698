#include "commit/LibraryRecovery.h"
#include "commit/StagedFiles.h"
#include "platform/windows/ScratchFolder.h"
#include "platform/windows/WindowsPlatform.h"
#include "support/FaultyFileSystem.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace quillora {
namespace {

using testing::fileExists;
using testing::FileOperation;
using testing::namesIn;
using testing::readBytes;
using testing::ScratchFolder;
using testing::writeBytes;
using FaultyWindows = testing::FaultyHost<WindowsPlatform>;

::testing::AssertionResult succeeded(const Status& status) {
    if (status) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << status.reason();
}

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
    Expected<FileBytes> read = platform.readFile(folder / "Quillora.ini");
    ASSERT_TRUE(read.ok()) << read.status().reason();
    const FileBytes& file = *read;
    EXPECT_EQ(file.bytes, kRawBytes);
    EXPECT_EQ(file.resolvedPath.text(), folder / "Quillora.ini");
}

TEST(WindowsFiles, ReadFileReportsAMissingFile) {
    ScratchFolder folder;
    WindowsPlatform platform;
    const Expected<FileBytes> read = platform.readFile(folder / "missing.dat");
    EXPECT_FALSE(read.ok());
    const std::string& error = read.status().reason();
    EXPECT_NE(error.find("missing.dat"), std::string::npos) << error;
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
        Expected<FileBytes> read = platform.readFile(folder / c.named);
        ASSERT_TRUE(read.ok()) << read.status().reason();
        const FileBytes& file = *read;
        EXPECT_EQ(file.bytes, "old");
        EXPECT_EQ(file.resolvedPath.text(), folder / c.found);

        ASSERT_TRUE(succeeded(platform.replaceFile(file.resolvedPath, "new")));
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
    Expected<FileBytes> read = platform.readFile("Quillora.ini");
    ASSERT_TRUE(read.ok()) << read.status().reason();
    const FileBytes& file = *read;
    EXPECT_EQ(file.resolvedPath.text(), "quillora.ini");
    ASSERT_TRUE(succeeded(platform.replaceFile(file.resolvedPath, "new")));
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
    Expected<FileBytes> read = platform.readFile(named);
    ASSERT_TRUE(read.ok()) << read.status().reason();
    const FileBytes& file = *read;
    EXPECT_EQ(file.resolvedPath.text(), named.substr(0, named.find_last_of('\\') + 1) + longName);
    ASSERT_TRUE(succeeded(platform.replaceFile(file.resolvedPath, "new")));
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{longName});
    EXPECT_EQ(readBytes(folder / longName), "new");
}

TEST(WindowsFiles, ReplaceFileCreatesAndReplacesWithTheExactBytes) {
    ScratchFolder folder;
    WindowsPlatform platform;
    ASSERT_TRUE(succeeded(platform.replaceFile(ResolvedPath(folder / "new.dat"), kRawBytes)));
    EXPECT_EQ(readBytes(folder / "new.dat"), kRawBytes);

    ASSERT_TRUE(succeeded(platform.replaceFile(ResolvedPath(folder / "new.dat"), "second\n")));
    EXPECT_EQ(readBytes(folder / "new.dat"), "second\n");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"new.dat"});
}

TEST(WindowsFiles, ReplaceFileKeepsTheOldFilesAttributes) {
    ScratchFolder folder;
    writeBytes(folder / "hidden.dat", "old");
    ASSERT_TRUE(SetFileAttributesA((folder / "hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN));
    WindowsPlatform platform;
    ASSERT_TRUE(succeeded(platform.replaceFile(ResolvedPath(folder / "hidden.dat"), "new")));
    EXPECT_EQ(readBytes(folder / "hidden.dat"), "new");
    EXPECT_NE(GetFileAttributesA((folder / "hidden.dat").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(WindowsFiles, ReplaceFileTakesARelativeName) {
    ScratchFolder folder;
    writeBytes(folder / "relative.dat", "old");
    InFolder in(folder.path());
    ASSERT_TRUE(in.entered());
    WindowsPlatform platform;
    EXPECT_TRUE(succeeded(platform.replaceFile(ResolvedPath("relative.dat"), "new")));
    EXPECT_EQ(readBytes(folder / "relative.dat"), "new");
}

TEST(WindowsFiles, ReadOnlyFileIsLeftAsItWas) {
    ScratchFolder folder;
    writeBytes(folder / "locked.dat", "old");
    ASSERT_TRUE(SetFileAttributesA((folder / "locked.dat").c_str(), FILE_ATTRIBUTE_READONLY));
    WindowsPlatform platform;
    const Status refused = platform.replaceFile(ResolvedPath(folder / "locked.dat"), "new");
    EXPECT_FALSE(refused.ok());
    const std::string& error = refused.reason();
    EXPECT_NE(error.find("locked.dat"), std::string::npos) << error;
    EXPECT_EQ(readBytes(folder / "locked.dat"), "old");
    EXPECT_NE(GetFileAttributesA((folder / "locked.dat").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"locked.dat"});
}

TEST(WindowsFiles, MissingFolderFailsWithoutLeavingAnything) {
    ScratchFolder folder;
    WindowsPlatform platform;
    const Status refused =
        platform.replaceFile(ResolvedPath(folder / "no such folder\\book.dat"), "new");
    EXPECT_FALSE(refused.ok());
    EXPECT_FALSE(refused.reason().empty());
    EXPECT_FALSE(fileExists(folder / "no such folder"));
}

// A second run on a library waits, saying so once, until the first is done.
TEST(WindowsFiles, TheLibraryLockMakesASecondRunWait) {
    ScratchFolder folder;
    WindowsPlatform platform;
    auto first = platform.fileSystem().lockLibrary(folder / "Quillora.lock", [] {});
    ASSERT_TRUE(first.ok()) << first.status().reason();

    struct Second {
        WindowsPlatform platform;
        std::string path;
        HANDLE waiting = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        int waitingCalls = 0;
        bool locked = false;
    } second;
    second.path = folder / "Quillora.lock";
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* data) -> DWORD {
            auto* s = static_cast<Second*>(data);
            auto lock = s->platform.fileSystem().lockLibrary(s->path, [s] {
                ++s->waitingCalls;
                SetEvent(s->waiting);
            });
            s->locked = lock.ok();
            return 0;
        },
        &second, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(second.waiting, 20000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 200), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the second took the lock while the first held it";
    first->reset();
    ASSERT_EQ(WaitForSingleObject(thread, 20000), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(second.waiting);
    EXPECT_TRUE(second.locked);
    EXPECT_EQ(second.waitingCalls, 1);
    // Nothing is ever written into the lock file.
    EXPECT_EQ(readBytes(folder / "Quillora.lock"), "");
}

// The file operations of a clean commit, counted; 0 when it fails.
template <typename Lay, typename Commit> int operationsOf(const Lay& lay, const Commit& commit) {
    ScratchFolder folder;
    lay(folder);
    FaultyWindows platform;
    int operations = 0;
    platform.setFaultHook([&operations](FileOperation) {
        ++operations;
        return 0;
    });
    return commit(platform, folder) ? operations : 0;
}

// Three files in two folders staged and committed; the process "dies" at each
// file operation in turn (from there on nothing reaches the disk). Recovery
// then leaves all three old or all three new, and nothing beside them.
TEST(WindowsFiles, ACommitKilledAtAnyPointIsFinishedOrUndone) {
    const std::vector<std::string> names = {"a.dat", "Books\\b.dat", "Books\\c.dat"};
    auto lay = [&](const ScratchFolder& folder) {
        CreateDirectoryA((folder / "Books").c_str(), nullptr);
        for (const std::string& name : names) {
            writeBytes(folder / name, "old " + name);
        }
    };
    auto commit = [&](Platform& platform, const ScratchFolder& folder) {
        StagedFiles files(platform, folder / "Quillora.commit");
        for (const std::string& name : names) {
            if (!files.stage(ResolvedPath(folder / name), wholeContent("new " + name))) {
                return false;
            }
        }
        return files.commit().ok();
    };
    const int operations = operationsOf(lay, commit);
    ASSERT_GT(operations, 10);
    for (int killAt = 1; killAt <= operations; ++killAt) {
        SCOPED_TRACE("killed at operation #" + std::to_string(killAt));
        ScratchFolder folder;
        lay(folder);
        {
            FaultyWindows dying;
            int seen = 0;
            dying.setFaultHook(
                [&](FileOperation) { return ++seen >= killAt ? ERROR_WRITE_FAULT : 0; });
            EXPECT_FALSE(commit(dying, folder));
        }
        WindowsPlatform next;
        ASSERT_TRUE(
            succeeded(recoverLibrary(next.fileSystem(), folder / "Quillora.commit").status));
        const std::string prefix = readBytes(folder / names[0]).substr(0, 4);
        for (const std::string& name : names) {
            EXPECT_EQ(readBytes(folder / name), prefix + name);
        }
        EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"Books", "a.dat"}));
        EXPECT_EQ(namesIn(folder / "Books"), (std::vector<std::string>{"b.dat", "c.dat"}));
    }
    std::printf("kill points: %d\n", operations);
}

// Another user renames a folder of the library away at each file operation of
// a commit in turn, and puts a folder of their own at its name. Once the run
// has opened the folder it holds it, so the rename fails from then on; a
// folder moved away before that gets nothing written.
TEST(WindowsFiles, AFolderRenamedDuringACommitGetsNothingWritten) {
    auto lay = [](const ScratchFolder& folder) {
        CreateDirectoryA((folder / "Books").c_str(), nullptr);
        writeBytes(folder / "Books\\b.dat", "old b");
    };
    auto commit = [](Platform& platform, const ScratchFolder& folder) {
        StagedFiles files(platform, folder / "Quillora.commit");
        return files.stage(ResolvedPath(folder / "Books\\b.dat"), wholeContent("new b")) &&
               files.commit();
    };
    const int operations = operationsOf(lay, commit);
    ASSERT_GT(operations, 0);
    int renamed = 0;
    bool refusedBefore = false;
    for (int attackAt = 1; attackAt <= operations; ++attackAt) {
        SCOPED_TRACE("renamed at operation #" + std::to_string(attackAt));
        ScratchFolder folder;
        lay(folder);
        bool moved = false;
        {
            FaultyWindows platform;
            int seen = 0;
            platform.setFaultHook([&](FileOperation) {
                if (++seen == attackAt) {
                    moved = MoveFileA((folder / "Books").c_str(), (folder / "away").c_str());
                    if (moved) {
                        CreateDirectoryA((folder / "Books").c_str(), nullptr);
                    }
                }
                return 0;
            });
            commit(platform, folder);
        }
        if (moved) {
            ++renamed;
            EXPECT_FALSE(refusedBefore) << "a held folder was let go";
            EXPECT_EQ(namesIn(folder / "away"), (std::vector<std::string>{"b.dat"}));
            EXPECT_EQ(readBytes(folder / "away\\b.dat"), "old b");
        } else {
            refusedBefore = true;
        }
    }
    EXPECT_TRUE(refusedBefore);
    std::printf("folder renamed away at %d of %d points\n", renamed, operations);
}

} // namespace
} // namespace quillora
