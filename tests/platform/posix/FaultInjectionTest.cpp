// Every file operation of a whole run over the sample library, made to fail in
// turn: the library must come out whole each time.
#include "bookdata/BookEntry.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "driver/LibraryRecovery.h"
#include "driver/UpdateCommand.h"
#include "platform/posix/OtherUser.h"
#include "platform/posix/PosixPlatform.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace quillora {
namespace {

using Snapshot = std::map<std::string, std::string>; // relative path -> bytes

class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& path) : saved_(fs::current_path()) {
        fs::current_path(path);
    }
    ~WorkingDirectory() { fs::current_path(saved_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    fs::path saved_;
};

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = temp_.path("lib");
        fs::copy(fs::path(QUILLORA_SOURCE_DIR) / "examples" / "library", root_,
                 fs::copy_options::recursive);
        fs::remove(fs::path(root_) / "registry.reg.in");
        temp_.writeStore({testing::productKey("C:\\Quillora", "C:\\Users\\Public\\Quillora", ""),
                          testing::driveTable({{"c:", "hd", root_ + "/drive_c"},
                                               {"d:", "cdrom", root_ + "/drive_d"}})[0],
                          testing::driveTable({{"c:", "hd", root_ + "/drive_c"},
                                               {"d:", "cdrom", root_ + "/drive_d"}})[1]});
        before_ = snapshot();
    }

    PosixSettings settings() const {
        PosixSettings s;
        s.registryFile = temp_.path("registry.reg");
        s.resourceFolders = {std::string(QUILLORA_SOURCE_DIR) + "/resources"};
        return s;
    }

    Snapshot snapshot() const {
        Snapshot files;
        for (const auto& entry : fs::recursive_directory_iterator(root_)) {
            if (entry.is_regular_file()) {
                std::string relative = fs::relative(entry.path(), root_).string();
                files[relative] = temp_.read("lib/" + relative);
            }
        }
        return files;
    }

    void restore() {
        fs::remove_all(root_);
        for (const auto& [relative, bytes] : before_) {
            temp_.write("lib/" + relative, bytes);
        }
    }

    struct Outcome {
        int status;
        std::string out;
        std::string err;
    };

    Outcome run(FileFaultHook hook,
                std::vector<std::string> args = {"quillora-update", "updatedir", "maintain=n"}) {
        PosixPlatform platform(settings());
        platform.setFaultHook(std::move(hook));
        WorkingDirectory cwd(root_ + "/drive_c/Quillora/Data");
        std::ostringstream out;
        std::ostringstream err;
        int status = runUpdate(args, out, err, platform);
        return {status, out.str(), err.str()};
    }

    bool stagedCatalogue() const {
        for (const auto& entry : fs::directory_iterator(root_ + "/drive_c/Quillora/Data")) {
            if (entry.path().filename().string().rfind("Quillora.ini.quillora-", 0) == 0) {
                return true;
            }
        }
        return false;
    }

    // What the next run does first: finish or undo this one.
    void recover(const std::string& label) {
        PosixPlatform platform(settings());
        WorkingDirectory cwd(root_ + "/drive_c/Quillora/Data");
        std::vector<std::string> notes;
        std::string error;
        EXPECT_TRUE(recoverLibrary(platform.fileSystem(), "Quillora.commit", notes, error))
            << label << ": " << error;
    }

    // Every book of every package that loads names a directory item that its
    // package's catalogue section holds.
    void expectBooksFindTheirDirectories(const std::string& label) {
        PosixPlatform platform(settings());
        WorkingDirectory cwd(root_ + "/drive_c/Quillora/Data");
        LibraryCatalog catalog;
        catalog.catalogFileName = "Quillora.ini";
        catalog.homeDirectory = "C:\\Quillora";
        catalog.localDirectory = "C:\\Users\\Public\\Quillora";
        catalog.cdDirectory = "d:";
        ASSERT_EQ(catalog.readCatalog(platform), 0) << label << ": " << catalog.diagnostic;
        for (Package* package : catalog.body.packages) {
            ASSERT_EQ(package->load(platform, catalog.installDirectories()), 0)
                << label << ": " << package->bookData.diagnostic;
            for (LibraryEntry* entry : package->bookData.allEntries) {
                if (entry->kind != EntryKind::Book) {
                    continue;
                }
                auto* book = static_cast<BookEntry*>(entry);
                PackageItem* item = package->findItem(book->directoryId);
                EXPECT_TRUE(item != nullptr && item->kind == DirectoryItem::kKind)
                    << label << ": book " << book->textOf(book->name) << " of " << package->name
                    << " names directory " << book->directoryId;
            }
        }
    }

    testing::TempLibrary temp_;
    std::string root_;
    Snapshot before_;
};

// The files a run writes, in the order it writes them.
const char* const kWrittenFiles[] = {
    "drive_c/Quillora/Books/manuals.dat", "drive_c/Users/Public/Quillora/tutorials.dat",
    "drive_c/Quillora/Books/archive.dat", "drive_c/Quillora/Data/Quillora.ini"};
constexpr int kPackages = 3;
const char* const kLockFile = "drive_c/Quillora/Data/Quillora.lock";

// A staged file or the commit record: what no run may leave behind.
bool isLeftover(const std::string& relative) {
    return relative.find(".quillora-") != std::string::npos ||
           relative.find("Quillora.commit") != std::string::npos;
}

TEST_F(FaultInjection, EveryFailingFileOperationLeavesTheLibraryWhole) {
    // A clean run: how many operations it makes, and what it writes.
    int operations = 0;
    Outcome clean = run([&operations](FileOperation) {
        ++operations;
        return 0;
    });
    ASSERT_EQ(clean.status, 0) << clean.err;
    Snapshot after = snapshot();
    after.erase(kLockFile);
    for (const char* file : kWrittenFiles) {
        ASSERT_NE(after.at(file), before_.at(file)) << file;
    }
    expectBooksFindTheirDirectories("clean run");

    // What a run leaves when one package's book data file cannot be written:
    // that file as it was, the catalogue keeping that package's identifiers.
    std::vector<Snapshot> allowed = {before_, after};
    for (int k = 0; k < kPackages; ++k) {
        restore();
        fs::permissions(fs::path(root_) / kWrittenFiles[k], fs::perms::owner_read,
                        fs::perm_options::replace);
        Outcome refused = run(nullptr);
        EXPECT_EQ(refused.status, 2) << kWrittenFiles[k];
        EXPECT_EQ(refused.out, clean.out) << kWrittenFiles[k];
        fs::permissions(fs::path(root_) / kWrittenFiles[k],
                        fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
        Snapshot without = snapshot();
        without.erase(kLockFile);
        EXPECT_EQ(without.at(kWrittenFiles[k]), before_.at(kWrittenFiles[k]));
        expectBooksFindTheirDirectories(std::string("refused ") + kWrittenFiles[k]);
        allowed.push_back(without);
    }

    // Each operation of the run fails in turn. The run says so and fails; what
    // it leaves, once the next run has finished or undone it, is the library
    // before, after, or after with one package left alone.
    ASSERT_GT(operations, 40);
    for (int failAt = 1; failAt <= operations; ++failAt) {
        restore();
        std::string label = "operation #" + std::to_string(failAt);
        int seen = 0;
        FileOperation failed = FileOperation::Read;
        Outcome faulty = run([&](FileOperation op) {
            if (++seen != failAt) {
                return 0;
            }
            failed = op;
            return op == FileOperation::Write ? ENOSPC : EIO;
        });
        EXPECT_NE(faulty.status, 0) << label;
        EXPECT_NE(faulty.err.find(failed == FileOperation::Write ? "No space" : "Input/output"),
                  std::string::npos)
            << label << ": " << faulty.err;
        recover(label);
        Snapshot now = snapshot();
        now.erase(kLockFile);
        for (const auto& [relative, bytes] : now) {
            EXPECT_FALSE(isLeftover(relative)) << label << ": " << relative << " left behind";
        }
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), now), allowed.end())
            << label << " left a library no run gives";
        expectBooksFindTheirDirectories(label);
    }
    std::printf("failing operations tried: %d\n", operations);
}

// A rename that really fails, after the commit: its staged file was taken
// away. The run says so and keeps the record; the next run will not guess.
TEST_F(FaultInjection, ARenameThatFailsAfterTheCommitKeepsTheRecord) {
    int renames = 0;
    Outcome faulty = run([&](FileOperation op) {
        if (op == FileOperation::Rename && ++renames == 2) {
            for (const auto& entry :
                 fs::directory_iterator(root_ + "/drive_c/Users/Public/Quillora")) {
                if (isLeftover(entry.path().filename().string())) {
                    fs::remove(entry.path());
                }
            }
        }
        return 0;
    });
    EXPECT_EQ(faulty.status, 2);
    EXPECT_NE(faulty.err.find("cannot replace"), std::string::npos) << faulty.err;
    EXPECT_NE(faulty.err.find("Quillora.commit is kept"), std::string::npos) << faulty.err;
    EXPECT_TRUE(fs::exists(root_ + "/drive_c/Quillora/Data/Quillora.commit"));

    // The next run stops before it reads the catalogue and changes nothing.
    const Snapshot left = snapshot();
    Outcome next = run(nullptr);
    EXPECT_EQ(next.status, 1);
    EXPECT_NE(next.out.find("Cannot find Quillora.ini\n"), std::string::npos) << next.out;
    EXPECT_NE(next.err.find("has gone"), std::string::npos) << next.err;
    EXPECT_EQ(snapshot(), left);
}

// A target that is a folder with files in it: nothing is committed.
TEST_F(FaultInjection, ATargetThatIsAFolderStopsTheRunBeforeTheCommit) {
    const std::string target = root_ + "/drive_c/Quillora/Books/archive.dat";
    bool planted = false;
    Outcome faulty = run([&](FileOperation op) {
        // Once every file is staged, before the commit.
        if (op == FileOperation::Sync && !planted && stagedCatalogue()) {
            planted = true;
            fs::remove(target);
            fs::create_directory(target);
            temp_.write("lib/drive_c/Quillora/Books/archive.dat/inside", "x");
        }
        return 0;
    });
    EXPECT_EQ(faulty.status, 2);
    EXPECT_NE(faulty.err.find("archive.dat: it is not a file; nothing was replaced"),
              std::string::npos)
        << faulty.err;
    Snapshot now = snapshot();
    for (const auto& [relative, bytes] : now) {
        EXPECT_FALSE(isLeftover(relative)) << relative;
    }
    for (const char* file : {kWrittenFiles[0], kWrittenFiles[1], kWrittenFiles[3]}) {
        EXPECT_EQ(now.at(file), before_.at(file)) << file;
    }
}

// A link to a file outside the library, or a file, planted at each name a run
// uses: nothing outside the library changes, no library file becomes a link,
// and the run goes on safely or stops with the reason.
TEST_F(FaultInjection, ANamePlantedBeforeTheRunCannotRedirectAWrite) {
    const std::string data = "drive_c/Quillora/Data/";
    struct Case {
        std::string name;
        bool link;
        int status;
        const char* reason;
    };
    std::vector<Case> cases = {
        {data + "Quillora.lock", true, 1, "Quillora.lock is a link"},
        {data + "Quillora.lock", false, 0, ""},
        {data + "Quillora.commit", true, 1, "Quillora.commit is not a commit record"},
        {data + "Quillora.commit", false, 1, "Quillora.commit is not a commit record"},
    };
    for (const char* file : kWrittenFiles) {
        for (const char* suffix : {".quillora-tmp", ".quillora-tmp1"}) {
            cases.push_back({std::string(file) + suffix, true, 0, ""});
            cases.push_back({std::string(file) + suffix, false, 0, ""});
        }
    }
    // A book data file itself replaced by a link: read through, never written.
    cases.push_back({kWrittenFiles[1], true, 2, "tutorials.dat"});

    const std::string victim = temp_.path("victim.txt");
    for (const Case& c : cases) {
        restore();
        temp_.write("victim.txt", "not the library's\n");
        const fs::path planted = fs::path(root_) / c.name;
        const std::string label = c.name + (c.link ? " as a link" : " as a file");
        fs::remove(planted);
        if (c.link) {
            fs::create_symlink(victim, planted);
        } else {
            temp_.write("lib/" + c.name, "planted\n");
        }
        Outcome outcome = run(nullptr);
        EXPECT_EQ(outcome.status, c.status) << label << ": " << outcome.err;
        EXPECT_NE(outcome.err.find(c.reason), std::string::npos) << label << ": " << outcome.err;
        EXPECT_EQ(temp_.read("victim.txt"), "not the library's\n") << label;
        EXPECT_FALSE(fs::is_symlink(victim)) << label;
        for (const auto& entry : fs::recursive_directory_iterator(root_)) {
            if (entry.is_symlink()) {
                EXPECT_EQ(entry.path(), planted) << label << ": a library file became a link";
            }
        }
        if (c.link) {
            EXPECT_TRUE(fs::is_symlink(planted)) << label;
        } else {
            EXPECT_EQ(temp_.read("lib/" + c.name), "planted\n") << label;
        }
    }
}

// Another user who can read the library can neither hold its lock nor make a
// run wait, whatever lies at the lock's name; the run never blocks at its open.
TEST_F(FaultInjection, AnotherUserCannotHoldTheLockOrStallARun) {
    testing::OtherUser user;
    SKIP_WITHOUT_OTHER_USER(user);
    const std::string lock = root_ + "/" + kLockFile;
    ::alarm(120); // a run that blocks at an open ends the test instead of hanging it
    enum Planted { Nothing, Fifo, UsersFile, SharedFile };
    struct Case {
        const char* label;
        Planted planted;
        bool heldByUser; // the user opens it and holds flock while the run starts
        int status;
        const char* reason;
    };
    const Case cases[] = {
        {"no lock file yet", Nothing, false, 0, ""},
        {"a FIFO", Fifo, false, 1, "is not a lock file this tool made"},
        {"a file of the user's", UsersFile, false, 1, "belongs to user"},
        {"an earlier version's 0644 file", SharedFile, false, 0, ""},
        {"an earlier version's 0644 file, held by the user", SharedFile, true, 1,
         "other users can open it"},
    };
    for (const Case& c : cases) {
        restore();
        if (c.planted == Fifo) {
            ASSERT_EQ(::mkfifo(lock.c_str(), 0666), 0);
        } else if (c.planted != Nothing) {
            temp_.write(std::string("lib/") + kLockFile, "");
            fs::permissions(lock, fs::perms(0644));
            if (c.planted == UsersFile) {
                user.own(lock);
            }
        }
        int ready[2] = {-1, -1};
        int release[2] = {-1, -1};
        ASSERT_EQ(::pipe(ready), 0);
        ASSERT_EQ(::pipe(release), 0);
        pid_t holder = -1;
        if (c.heldByUser) {
            std::fflush(nullptr);
            holder = user.start([&] {
                ::close(release[1]); // else the read below never sees the end
                int fd = ::open(lock.c_str(), O_RDONLY);
                char byte = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
                (void)!::write(ready[1], &byte, 1);
                ::alarm(20); // a run that waited for it goes on after this
                (void)!::read(release[0], &byte, 1);
                return 0;
            });
            char byte = 0;
            ASSERT_EQ(::read(ready[0], &byte, 1), 1);
            ASSERT_EQ(byte, 'y') << c.label << ": the user could not hold the old file";
        }
        Outcome outcome = run(nullptr);
        ::close(release[1]);
        if (holder > 0) {
            ::waitpid(holder, nullptr, 0);
        }
        for (int fd : {ready[0], ready[1], release[0]}) {
            ::close(fd);
        }
        EXPECT_EQ(outcome.status, c.status) << c.label << ": " << outcome.err;
        EXPECT_NE(outcome.err.find(c.reason), std::string::npos) << c.label << ": " << outcome.err;
        EXPECT_EQ(outcome.err.find("waiting for another run"), std::string::npos) << c.label;
        if (c.status == 0) {
            // Only its owner may open it from now on.
            EXPECT_EQ(fs::status(lock).permissions(), fs::perms(0600)) << c.label;
            EXPECT_EQ(user.run([&] { return ::open(lock.c_str(), O_RDONLY) < 0 ? 0 : 1; }), 0)
                << c.label << ": the user can open the lock file";
        }
        fs::remove(lock);
    }
    ::alarm(0);
}

// The process dies at each file operation of a run in turn; the next run,
// with other options, must give what it gives after the whole first run or
// alone.
TEST_F(FaultInjection, AKillAtAnyPointLeavesTheFirstRunWholeOrUndone) {
    const std::vector<std::string> second = {"quillora-update", "active=n", "maintain=y"};
    int operations = 0;
    ASSERT_EQ(run([&operations](FileOperation) {
                  ++operations;
                  return 0;
              }).status,
              0);
    ASSERT_EQ(run(nullptr, second).status, 0);
    const Snapshot counted = snapshot();
    restore();
    ASSERT_EQ(run(nullptr, second).status, 0);
    const Snapshot notCounted = snapshot();
    ASSERT_NE(counted, notCounted);

    int recovered = 0;
    for (int killAt = 1; killAt <= operations; ++killAt) {
        restore();
        const std::string label = "killed at operation #" + std::to_string(killAt);
        std::fflush(nullptr);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int seen = 0;
            run([&](FileOperation) {
                if (++seen == killAt) {
                    ::_exit(137);
                }
                return 0;
            });
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 137) << label;

        Outcome next = run(nullptr, second);
        EXPECT_EQ(next.status, 0) << label << ": " << next.err;
        recovered += next.err.find("interrupted run") != std::string::npos ? 1 : 0;
        const Snapshot now = snapshot();
        for (const auto& [relative, bytes] : now) {
            EXPECT_FALSE(isLeftover(relative)) << label << ": " << relative << " left behind";
        }
        EXPECT_TRUE(now == counted || now == notCounted) << label << " left a library no run gives";
    }
    // Most points fall while a record is there to act on.
    EXPECT_GT(recovered, operations / 2);
    std::printf("kill points: %d, recoveries: %d\n", operations, recovered);
}

} // namespace
} // namespace quillora
