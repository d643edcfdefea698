// Every file operation of a whole run over the sample library, made to fail in
// turn: the library must come out whole each time.
#include "bookdata/BookEntry.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "driver/UpdateCommand.h"
#include "platform/posix/PosixPlatform.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <sstream>
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

    Outcome run(FileFaultHook hook) {
        PosixPlatform platform(settings());
        platform.setFaultHook(std::move(hook));
        WorkingDirectory cwd(root_ + "/drive_c/Quillora/Data");
        std::ostringstream out;
        std::ostringstream err;
        int status = runUpdate({"quillora-update", "updatedir", "maintain=n"}, out, err, platform);
        return {status, out.str(), err.str()};
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
        PublishedCatalog published(&catalog);
        ASSERT_EQ(catalog.readCatalog(platform), 0) << label << ": " << catalog.diagnostic;
        for (Package* package : catalog.body.packages) {
            ASSERT_EQ(package->load(platform), 0) << label << ": " << package->diagnostic;
            for (LibraryEntry* entry : package->allEntries) {
                if (entry->kind != EntryKind::Book) {
                    continue;
                }
                auto* book = static_cast<BookEntry*>(entry);
                PackageItem* item = package->findItem(book->directoryId);
                EXPECT_TRUE(item != nullptr && item->kind == DirectoryItem::kKind)
                    << label << ": book " << book->name << " of " << package->name
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

TEST_F(FaultInjection, EveryFailingFileOperationLeavesTheLibraryWhole) {
    // A clean run: how many operations of each kind, and what it writes.
    std::map<FileOperation, int> counts;
    Outcome clean = run([&counts](FileOperation op) {
        ++counts[op];
        return 0;
    });
    ASSERT_EQ(clean.status, 0) << clean.err;
    const Snapshot after = snapshot();
    for (const char* file : kWrittenFiles) {
        ASSERT_NE(after.at(file), before_.at(file)) << file;
    }
    expectBooksFindTheirDirectories("clean run");
    for (FileOperation op : {FileOperation::Read, FileOperation::Open, FileOperation::Write,
                             FileOperation::Flush, FileOperation::Sync, FileOperation::Rename}) {
        EXPECT_EQ(counts[op], 4);
    }

    // What a run leaves when one package's book data file cannot be written:
    // that file as it was, the catalogue keeping that package's identifiers.
    std::vector<Snapshot> withoutPackage;
    for (int k = 0; k < kPackages; ++k) {
        restore();
        fs::permissions(fs::path(root_) / kWrittenFiles[k], fs::perms::owner_read,
                        fs::perm_options::replace);
        Outcome refused = run(nullptr);
        EXPECT_EQ(refused.status, 2) << kWrittenFiles[k];
        EXPECT_EQ(refused.out, clean.out) << kWrittenFiles[k];
        fs::permissions(fs::path(root_) / kWrittenFiles[k],
                        fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
        withoutPackage.push_back(snapshot());
        EXPECT_EQ(withoutPackage.back().at(kWrittenFiles[k]), before_.at(kWrittenFiles[k]));
        expectBooksFindTheirDirectories(std::string("refused ") + kWrittenFiles[k]);
    }

    struct Point {
        FileOperation op;
        const char* name;
        int failAt;
        const Snapshot* expected;
    };
    std::vector<Point> points;
    // Reads: the catalogue first (nothing written), then each package's file.
    points.push_back({FileOperation::Read, "read", 1, &before_});
    std::vector<Snapshot> renameExpected;
    for (int k = 0; k < 4; ++k) {
        Snapshot expected = after;
        expected[kWrittenFiles[k]] = before_.at(kWrittenFiles[k]);
        renameExpected.push_back(expected);
    }
    for (int k = 1; k <= kPackages; ++k) {
        points.push_back({FileOperation::Read, "read", k + 1, &withoutPackage[k - 1]});
    }
    const std::pair<FileOperation, const char*> writing[] = {{FileOperation::Open, "open"},
                                                             {FileOperation::Write, "write"},
                                                             {FileOperation::Flush, "flush"}};
    for (const auto& [op, name] : writing) {
        for (int k = 1; k <= kPackages; ++k) {
            points.push_back({op, name, k, &withoutPackage[k - 1]});
        }
        // The catalogue cannot be written: nothing is.
        points.push_back({op, name, kPackages + 1, &before_});
    }
    // Waiting for the files to be on the disk: any failure, and nothing is
    // replaced. Putting them in place: only the one that failed keeps its old
    // content.
    for (int k = 1; k <= 4; ++k) {
        points.push_back({FileOperation::Sync, "sync", k, &before_});
        points.push_back({FileOperation::Rename, "rename", k, &renameExpected[k - 1]});
    }

    for (const Point& point : points) {
        restore();
        std::string label = std::string(point.name) + " #" + std::to_string(point.failAt);
        int seen = 0;
        Outcome faulty = run([&](FileOperation op) {
            if (op != point.op || ++seen != point.failAt) {
                return 0;
            }
            return op == FileOperation::Write ? ENOSPC : EIO;
        });
        EXPECT_NE(faulty.status, 0) << label;
        EXPECT_NE(faulty.err.find(point.op == FileOperation::Write ? "No space" : "Input/output"),
                  std::string::npos)
            << label << ": " << faulty.err;
        const Snapshot now = snapshot();
        for (const auto& [relative, bytes] : now) {
            EXPECT_EQ(relative.find(".quillora-tmp"), std::string::npos)
                << label << ": " << relative << " left behind";
        }
        ASSERT_EQ(now.size(), before_.size()) << label;
        for (const auto& [relative, bytes] : *point.expected) {
            EXPECT_EQ(now.at(relative), bytes) << label << ": " << relative;
        }
        if (point.op != FileOperation::Rename) {
            expectBooksFindTheirDirectories(label);
        }
    }
}

} // namespace
} // namespace quillora
