// Every file operation of a whole run over the sample library, made to fail in
// turn: the library must come out whole each time.
#include "bookdata/BookEntry.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "commit/CommitRecord.h"
#include "commit/LibraryRecovery.h"
#include "driver/UpdateCommand.h"
#include "platform/posix/OtherUser.h"
#include "platform/posix/PosixPlatform.h"
#include "support/FaultyFileSystem.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <map>
#include <pwd.h>
#include <sstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace quillora {
namespace {

using Snapshot = std::map<std::string, std::string>; // relative path -> bytes
using testing::FileFaultHook;
using testing::FileOperation;

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

const std::string kLibraryFolder = "100% Books";
const std::string kLibrary = kLibraryFolder + "/";

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        // A '%' in the path: the record must still read back whole.
        root_ = temp_.path(kLibraryFolder);
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
                files[relative] = temp_.read(kLibrary + relative);
            }
        }
        return files;
    }

    void restore() {
        fs::remove_all(root_);
        for (const auto& [relative, bytes] : before_) {
            temp_.write(kLibrary + relative, bytes);
        }
    }

    struct Outcome {
        int status;
        std::string out;
        std::string err;
    };

    Outcome run(FileFaultHook hook,
                std::vector<std::string> args = {"quillora-update", "updatedir", "maintain=n"}) {
        testing::FaultyHost<PosixPlatform> platform(settings());
        platform.setFaultHook(std::move(hook));
        WorkingDirectory cwd(root_ + "/drive_c/Quillora/Data");
        std::ostringstream out;
        std::ostringstream err;
        int status = runUpdate(args, out, err, platform);
        return {status, out.str(), err.str()};
    }

    // A run killed at its first rename: committed, nothing in place yet.
    void killOnceCommitted() {
        std::fflush(nullptr);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            run([](FileOperation op) {
                if (op == FileOperation::Rename) {
                    ::_exit(137);
                }
                return 0;
            });
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 137);
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
        const Recovery recovery = recoverLibrary(platform.fileSystem(), "Quillora.commit");
        EXPECT_TRUE(recovery.status.ok()) << label << ": " << recovery.status.reason();
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
        const Status read = catalog.readCatalog(platform);
        ASSERT_EQ(read.code(), 0) << label << ": " << read.reason();
        for (Package* package : catalog.body.packages) {
            const Status loaded = package->load(platform, catalog.installDirectories());
            ASSERT_EQ(loaded.code(), 0) << label << ": " << loaded.reason();
            for (LibraryEntry* entry : package->bookData.allEntries) {
                if (entry->kind != EntryKind::Book) {
                    continue;
                }
                auto* book = static_cast<BookEntry*>(entry);
                PackageItem* item = package->findItem(book->directoryId);
                EXPECT_TRUE(item != nullptr && item->kind == DirectoryItem::kKind)
                    << label << ": book " << book->text(TextField::name) << " of " << package->name
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
    // With removalFails, the first removal after it fails as well: the staged
    // files the run then cannot remove are left for the next run to find.
    ASSERT_GT(operations, 40);
    for (int failAt = 1; failAt <= operations * 2; ++failAt) {
        restore();
        const bool removalFails = failAt > operations;
        const int at = removalFails ? failAt - operations : failAt;
        std::string label =
            "operation #" + std::to_string(at) + (removalFails ? " and the removal after it" : "");
        int seen = 0;
        bool removalFailed = !removalFails;
        FileOperation failed = FileOperation::Read;
        Outcome faulty = run([&](FileOperation op) {
            if (++seen > at && op == FileOperation::Remove && !removalFailed) {
                removalFailed = true;
                return EIO;
            }
            if (seen != at) {
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
            temp_.write(kLibrary + "drive_c/Quillora/Books/archive.dat/inside", "x");
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
        bool duringTheRun = false; // planted when the run first creates a file
    };
    std::vector<Case> cases = {
        {data + "Quillora.lock", true, 1, "Quillora.lock is a link"},
        {data + "Quillora.lock", false, 0, ""},
        {data + "Quillora.commit", true, 1, "Quillora.commit is not a commit record"},
        {data + "Quillora.commit", false, 1, "Quillora.commit is not a commit record"},
        {data + "Quillora.commit", false, 2, "appeared during the run", true},
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
        auto plant = [&] {
            if (c.link) {
                fs::create_symlink(victim, planted);
            } else {
                temp_.write(kLibrary + c.name, "planted\n");
            }
        };
        if (!c.duringTheRun) {
            plant();
        }
        bool plantedYet = !c.duringTheRun;
        Outcome outcome = run([&](FileOperation op) {
            if (op == FileOperation::Open && !plantedYet) {
                plantedYet = true;
                plant();
            }
            return 0;
        });
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
            EXPECT_EQ(temp_.read(kLibrary + c.name), "planted\n") << label;
        }
    }
}

// A staged file exchanged for another after the commit, before its rename:
// the other file is never put over the book data file.
TEST_F(FaultInjection, AStagedFileSwappedBeforeItsRenameIsNotPutInPlace) {
    const std::string folder = root_ + "/drive_c/Users/Public/Quillora";
    bool swapped = false;
    Outcome faulty = run([&](FileOperation op) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (op == FileOperation::Rename && !swapped && isLeftover(name)) {
                swapped = true;
                fs::remove(entry.path());
                temp_.write(kLibrary + "drive_c/Users/Public/Quillora/" + name, "swapped\n");
            }
        }
        return 0;
    });
    ASSERT_TRUE(swapped);
    EXPECT_NE(faulty.status, 0);
    EXPECT_NE(faulty.err.find("is not the file this run wrote"), std::string::npos) << faulty.err;
    EXPECT_NE(temp_.read(kLibrary + kWrittenFiles[1]), "swapped\n");
    run(nullptr); // and recovery does not put it there either
    EXPECT_NE(temp_.read(kLibrary + kWrittenFiles[1]), "swapped\n");
}

// Recovery removes the staged files a run left, and nothing else that bears
// their name: a link or a FIFO planted there stays.
TEST_F(FaultInjection, RecoveryRemovesOnlyFilesWithTheStagedName) {
    killOnceCommitted();
    const std::string record = temp_.read(kLibrary + "drive_c/Quillora/Data/Quillora.commit");
    const std::size_t at = record.find("token ");
    ASSERT_NE(at, std::string::npos) << record;
    const std::string name =
        root_ + "/drive_c/Quillora/Books/archive.dat.quillora-" + record.substr(at + 6, 16) + "-";
    temp_.write("victim.txt", "not the library's\n");
    fs::create_symlink(temp_.path("victim.txt"), name + "01234567");
    ASSERT_EQ(::mkfifo((name + "fedcba98").c_str(), 0600), 0);
    recover("after the kill");
    EXPECT_TRUE(fs::is_symlink(name + "01234567"));
    EXPECT_TRUE(fs::is_fifo(name + "fedcba98"));
    EXPECT_EQ(temp_.read("victim.txt"), "not the library's\n");
}

// A committed record's put line is obeyed only for a staged file of its own run,
// with one name, beside its target in a folder the record lists; otherwise
// recovery stops and moves nothing.
TEST_F(FaultInjection, RecoveryObeysOnlyPutLinesForItsOwnStagedFiles) {
    const std::string recordFile = kLibrary + "drive_c/Quillora/Data/Quillora.commit";
    const std::string outside = temp_.path("outside.dat");
    const std::pair<const char*, std::function<void(StagedEntry&)>> cases[] = {
        {"a staged file under a name of another kind",
         [](StagedEntry& put) {
             const std::string renamed = put.target + ".renamed";
             fs::rename(put.staged, renamed);
             put.staged = renamed;
         }},
        {"a target in a folder the record does not list",
         [&](StagedEntry& put) {
             const std::string staged = outside + put.staged.substr(put.staged.rfind(".quillora-"));
             fs::rename(put.staged, staged);
             put.staged = staged;
             put.target = outside;
         }},
        {"a staged file with a second name",
         [&](StagedEntry& put) { fs::create_hard_link(put.staged, temp_.path("second-name")); }},
    };
    for (const auto& [label, change] : cases) {
        restore();
        temp_.write("outside.dat", "outside\n");
        killOnceCommitted();
        CommitRecord record = parseCommitRecord(temp_.read(recordFile));
        ASSERT_TRUE(record.complete) << label;
        change(record.entries[0]);
        std::string text = commitRecordStart(record.token);
        for (const RecordedFolder& folder : record.folders) {
            text += commitRecordFolder(folder.path, folder.identity);
        }
        temp_.write(recordFile, text + commitRecordEnd(text, record.entries));
        const Snapshot planted = snapshot();
        PosixPlatform platform(settings());
        WorkingDirectory cwd(root_ + "/drive_c/Quillora/Data");
        EXPECT_FALSE(recoverLibrary(platform.fileSystem(), "Quillora.commit").status.ok()) << label;
        EXPECT_EQ(snapshot(), planted) << label;
        EXPECT_EQ(temp_.read("outside.dat"), "outside\n") << label;
        fs::remove(temp_.path("second-name"));
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
            temp_.write(kLibrary + kLockFile, "");
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

// Runs body in a child process and gives its exit status, or -1 when it was
// still running after ten seconds (it is then killed).
int inChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A FIFO at each name a run opens, and a sparse book data file too large to
// read under a memory limit: each refused with the reason, none waited on.
TEST_F(FaultInjection, FifosAndHugeFilesAreRefusedWithoutWaitingOrRunningOutOfMemory) {
    const std::string data = "drive_c/Quillora/Data/Quillora.ini";
    struct Case {
        std::string name;
        bool fifo;
        int status;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {data, true, 1, "not a regular file"},
        {kWrittenFiles[1], true, 2, "not a regular file"},
        {kWrittenFiles[0], false, 2, "2 GiB or larger"},
    };
    for (const Case& c : cases) {
        restore();
        const std::string path = root_ + "/" + c.name;
        fs::remove(path);
        if (c.fifo) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
        } else {
            temp_.write(kLibrary + c.name, "");
            fs::resize_file(path, std::uintmax_t{3} << 30);
        }
        const std::string err = temp_.path("err.txt");
        const int status = inChild([&] {
            // At most 64 MiB more than the process has now.
            unsigned long pages = 0;
            FILE* statm = std::fopen("/proc/self/statm", "r");
            if (statm == nullptr || std::fscanf(statm, "%lu", &pages) != 1) {
                return 99;
            }
            std::fclose(statm);
            const rlim_t limit = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (64 << 20);
            const rlimit memory{limit, limit};
            ::setrlimit(RLIMIT_AS, &memory);
            Outcome outcome = run(nullptr);
            FILE* out = std::fopen(err.c_str(), "w");
            std::fputs(outcome.err.c_str(), out);
            std::fclose(out);
            return outcome.status;
        });
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_NE(temp_.read("err.txt").find(c.reason), std::string::npos)
            << c.name << ": " << temp_.read("err.txt");
    }
}

class HostileUserRun : public FaultInjection {
protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "not root: no other user can be made to attack the run";
        }
        FaultInjection::SetUp();
        ASSERT_TRUE(attacker_.made()) << "useradd failed";
        fs::permissions(temp_.path(), fs::perms(0755));
    }

    void chmod(const std::string& relative, unsigned mode) const {
        ::chmod((root_ + "/" + relative).c_str(), static_cast<mode_t>(mode));
    }

    // Every library a run can leave: each subset of the packages left alone.
    std::vector<Snapshot> allowedStates() {
        std::vector<Snapshot> allowed;
        for (unsigned refused = 0; refused < (1u << kPackages); ++refused) {
            restore();
            for (int k = 0; k < kPackages; ++k) {
                chmod(kWrittenFiles[k], (refused >> k & 1) != 0 ? 0400 : 0644);
            }
            run(nullptr);
            for (int k = 0; k < kPackages; ++k) {
                chmod(kWrittenFiles[k], 0644);
            }
            Snapshot state = snapshot();
            state.erase(kLockFile);
            allowed.push_back(state);
        }
        return allowed;
    }

    // Runs with the attacker acting at operation number at, once.
    Outcome runAttacked(int at, const std::function<void()>& deed) {
        int seen = 0;
        return run([&](FileOperation) {
            if (++seen == at) {
                attacker_.run([&] {
                    deed();
                    return 0;
                });
            }
            return 0;
        });
    }

    // Operations of a clean run in the library as set up.
    int operations() {
        int count = 0;
        run([&count](FileOperation) {
            ++count;
            return 0;
        });
        return count;
    }

    // Every name below folder, with the bytes of the files.
    Snapshot tree(const std::string& folder) const {
        Snapshot names;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            names[entry.path().string()] =
                entry.is_regular_file()
                    ? temp_.read(fs::relative(entry.path(), temp_.path()).string())
                    : "";
        }
        return names;
    }

    bool anyFileHolds(const std::string& folder, const std::string& text) const {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file() && !entry.is_symlink() &&
                temp_.read(fs::relative(entry.path(), temp_.path()).string()).find(text) !=
                    std::string::npos) {
                return true;
            }
        }
        return false;
    }

    testing::OtherUser attacker_;
};

const char* const kFolders[] = {"drive_c",
                                "drive_c/Quillora",
                                "drive_c/Quillora/Books",
                                "drive_c/Quillora/Data",
                                "drive_c/Users",
                                "drive_c/Users/Public",
                                "drive_c/Users/Public/Quillora"};

// Folders anyone may rename in (0777, no sticky bit) above the library's own:
// the attacker swaps each folder of each path for a link to a copy outside,
// at each operation of the run in turn. Nothing outside changes, and once the
// folder is back the library is one a run gives.
TEST_F(HostileUserRun, AFolderSwappedForALinkNeverTakesTheRunOutside) {
    const auto setUp = [this] {
        for (const char* parent :
             {"", "drive_c", "drive_c/Quillora", "drive_c/Users", "drive_c/Users/Public"}) {
            chmod(parent, 0777);
        }
    };
    const std::vector<Snapshot> allowed = allowedStates();
    restore();
    setUp();
    const int points = operations();
    int breaches = 0;
    for (const char* folder : kFolders) {
        const std::string outside = temp_.path("outside");
        for (int at = 1; at <= points; ++at) {
            const std::string label = std::string(folder) + " at operation #" + std::to_string(at);
            restore();
            setUp();
            fs::remove_all(outside);
            fs::create_directory(outside);
            fs::copy(root_ + "/" + folder, outside + "/copy", fs::copy_options::recursive);
            const Snapshot outsideBefore = tree(outside);
            const std::string swapped = root_ + "/" + folder;
            runAttacked(at, [&] {
                ::rename(swapped.c_str(), (swapped + ".real").c_str());
                ::symlink((outside + "/copy").c_str(), swapped.c_str());
            });
            const Snapshot outsideAfter = tree(outside);
            bool breached = outsideAfter != outsideBefore;
            EXPECT_EQ(outsideAfter, outsideBefore) << label << ": the run wrote outside";
            if (fs::is_symlink(swapped)) {
                fs::remove(swapped);
                fs::rename(swapped + ".real", swapped);
            }
            recover(label);
            Snapshot now = snapshot();
            now.erase(kLockFile);
            const bool whole = std::find(allowed.begin(), allowed.end(), now) != allowed.end();
            EXPECT_TRUE(whole) << label << " left a library no run gives";
            breaches += breached || !whole ? 1 : 0;
        }
    }
    std::printf("folder swaps: %zu folders at %d operations each, breaches: %d\n",
                std::size(kFolders), points, breaches);
}

// The attacker's own book data file, in a shared folder, replaced by a link to
// a root-only file at each operation in turn: its text reaches no file.
TEST_F(HostileUserRun, ALinkToARootOnlyFileDisclosesNothing) {
    const std::string marker = "MARKER-of-a-root-only-file";
    fs::create_directory(temp_.path("private"));
    chmod("../private", 0700);
    std::string secret = temp_.read(kLibrary + std::string(kWrittenFiles[1]));
    secret.replace(secret.find("First lessons"), 13, marker);
    temp_.write("private/secret.dat", secret);
    const std::string tutorials = root_ + "/" + kWrittenFiles[1];
    const auto setUp = [&] {
        chmod("drive_c/Users/Public/Quillora", 01777);
        ::chown(tutorials.c_str(), attacker_.uid(), attacker_.gid());
    };
    setUp();
    const int points = operations();
    int breaches = 0;
    for (int at = 1; at <= points; ++at) {
        const std::string label = "operation #" + std::to_string(at);
        restore();
        setUp();
        Outcome outcome = runAttacked(at, [&] {
            ::unlink(tutorials.c_str());
            ::symlink(temp_.path("private/secret.dat").c_str(), tutorials.c_str());
        });
        const bool breached = anyFileHolds(root_, marker);
        EXPECT_FALSE(breached) << label << ": " << outcome.err;
        breaches += breached ? 1 : 0;
    }
    std::printf("linked root-only file: %d operations, breaches: %d\n", points, breaches);
}

// In a folder anyone may rename in, the attacker exchanges each staged file
// with one of their own, or renames it away, at each operation in turn. No
// book data file gets their content, and the next run finds the library whole.
TEST_F(HostileUserRun, AStagedFileInAFolderAnyoneMayRenameInCannotBeSwapped) {
    const std::string folder = root_ + "/drive_c/Users/Public/Quillora";
    const std::string attack = "ATTACKER CONTENT";
    const auto setUp = [&] { chmod("drive_c/Users/Public/Quillora", 0777); };
    setUp();
    const int points = operations();
    int breaches = 0;
    for (bool exchange : {true, false}) {
        for (int at = 1; at <= points; ++at) {
            const std::string label = std::string(exchange ? "exchanged" : "renamed away") +
                                      " at operation #" + std::to_string(at);
            restore();
            setUp();
            Outcome outcome = runAttacked(at, [&] {
                for (const auto& entry : fs::directory_iterator(folder)) {
                    const std::string staged = entry.path().string();
                    if (staged.find(".quillora-") == std::string::npos) {
                        continue;
                    }
                    const std::string own = staged + ".own";
                    if (exchange) {
                        FILE* file = std::fopen(own.c_str(), "w");
                        std::fputs(attack.c_str(), file);
                        std::fclose(file);
                        ::renameat2(AT_FDCWD, own.c_str(), AT_FDCWD, staged.c_str(),
                                    RENAME_EXCHANGE);
                    } else {
                        ::rename(staged.c_str(), own.c_str());
                    }
                }
            });
            PosixPlatform platform(settings());
            WorkingDirectory cwd(root_ + "/drive_c/Quillora/Data");
            const Recovery recovery = recoverLibrary(platform.fileSystem(), "Quillora.commit");
            const bool recovered = recovery.status.ok();
            const std::string& error = recovery.status.reason();
            bool breached = !recovered;
            for (const char* file : kWrittenFiles) {
                breached =
                    breached || fs::is_symlink(root_ + "/" + file) ||
                    temp_.read(kLibrary + std::string(file)).find(attack) != std::string::npos;
            }
            EXPECT_FALSE(breached) << label << ": " << outcome.err << error;
            breaches += breached ? 1 : 0;
        }
    }
    std::printf("staged file exchanged or renamed: 2 x %d operations, breaches: %d\n", points,
                breaches);
}

// The catalogue's folder belongs to the attacker, who at each operation in turn
// moves the commit record away and puts a hard link to a file of theirs at its
// name: the run's record lines never reach their file, and once the attacker's
// file is moved away a further run finds the library whole.
TEST_F(HostileUserRun, AHardLinkAtTheCommitRecordGetsNothing) {
    const std::string data = root_ + "/drive_c/Quillora/Data";
    const std::string record = data + "/Quillora.commit";
    const std::string mine = data + "/mine";
    const std::vector<Snapshot> allowed = allowedStates();
    const int points = operations();
    int breaches = 0;
    for (int at = 1; at <= points; ++at) {
        const std::string label = "operation #" + std::to_string(at);
        restore();
        ::chown(data.c_str(), attacker_.uid(), attacker_.gid());
        runAttacked(at, [&] {
            std::FILE* file = std::fopen(mine.c_str(), "w");
            std::fputs("mine\n", file);
            std::fclose(file);
            ::rename(record.c_str(), (data + "/moved").c_str());
            ::link(mine.c_str(), record.c_str());
        });
        const bool breached = temp_.read(kLibrary + "drive_c/Quillora/Data/mine") != "mine\n";
        EXPECT_FALSE(breached) << label << ": the run wrote into the attacker's file";
        for (const char* name : {"mine", "moved", "Quillora.commit"}) {
            struct stat info {};
            const std::string path = data + "/" + name;
            if (::lstat(path.c_str(), &info) == 0 && info.st_uid == attacker_.uid()) {
                fs::remove(path);
            }
        }
        if (fs::exists(data + "/moved")) {
            fs::rename(data + "/moved", record);
        }
        run(nullptr);
        Snapshot now = snapshot();
        now.erase(kLockFile);
        const bool whole = std::find(allowed.begin(), allowed.end(), now) != allowed.end();
        EXPECT_TRUE(whole) << label << " left a library no run gives";
        breaches += breached || !whole ? 1 : 0;
    }
    std::printf("hard link at the commit record: %d operations, breaches: %d\n", points, breaches);
}

// A replaced file keeps its owner, group and permissions, without the setuid bit.
TEST_F(HostileUserRun, AReplacedFileKeepsItsOwnerGroupAndModeButNoSetuidBit) {
    const std::string tutorials = root_ + "/" + kWrittenFiles[1];
    const std::string manuals = root_ + "/" + kWrittenFiles[0];
    ::chown(tutorials.c_str(), attacker_.uid(), attacker_.gid());
    chmod(kWrittenFiles[1], 0660);
    chmod(kWrittenFiles[0], 04755);
    ASSERT_EQ(run(nullptr).status, 0);
    struct stat info {};
    ASSERT_EQ(::stat(tutorials.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, attacker_.uid());
    EXPECT_EQ(info.st_gid, attacker_.gid());
    EXPECT_EQ(info.st_mode & 07777, 0660u);
    ASSERT_EQ(::stat(manuals.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u);
}

// A user other than root whose run was killed once committed has it finished
// by their own next run: the record they made is theirs to act on.
TEST_F(HostileUserRun, AnotherUsersInterruptedRunIsFinishedByTheirNextRun) {
    attacker_.own(root_);
    const int killed = attacker_.run([&] {
        run([](FileOperation op) {
            if (op == FileOperation::Rename) {
                ::_exit(137);
            }
            return 0;
        });
        return 0;
    });
    ASSERT_EQ(killed, 137);
    EXPECT_EQ(attacker_.run([&] { return run(nullptr).status; }), 0);
    EXPECT_FALSE(fs::exists(root_ + "/drive_c/Quillora/Data/Quillora.commit"));
}

} // namespace
} // namespace quillora
