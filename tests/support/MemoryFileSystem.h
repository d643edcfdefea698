// The fake's file system: files in a map, and a model of what a power cut
// leaves. Data not flushed (syncFile) may be lost or kept, and so may each
// change to a folder (create, rename, remove) that no syncFolder followed.
#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quillora::testing {

using FileMap = std::map<std::string, std::string>; // path -> bytes

// What a disk holds after a power cut: its files, and the identity each kept.
struct DiskState {
    FileMap files;
    std::map<std::string, std::uint64_t> inodes;
};

class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem(FileMap& files, std::set<std::string>& readOnly)
        : files_(files), readOnly_(readOnly) {}

    int renameCount = 0;

    // Operations that change the disk so far.
    int changes() const { return changes_; }
    // From the change numbered `change` (1 for the first) on, the power is
    // gone: that change and every later one fail, and the disk is as it was
    // just before it.
    void cutPowerAt(int change) { cutAt_ = change; }
    bool powerCut() const { return frozen_.valid; }
    // What the disk may hold after the power cut: every combination of lost
    // and kept where there are at most 2^maxBits, otherwise `samples` chosen
    // by seed plus all-lost and all-kept.
    std::vector<DiskState> statesAfterPowerCut(unsigned maxBits, unsigned samples,
                                               std::uint64_t seed) const;
    // Starts again from what a power cut left.
    void restart(const DiskState& state);
    // How many changes were not yet on the disk at the power cut.
    std::size_t pendingAtPowerCut() const;

    Expected<std::string> createFileWith(const std::string& path, const NewContent& content,
                                         const std::string& replacing) override;
    Expected<std::unique_ptr<OpenFile>> createOpenFile(const std::string& path) override;
    // What the open file hands on, by the name it was made with.
    Status appendFile(const std::string& path, const std::string& bytes);
    Status syncFile(const std::string& path) override;
    Status syncFolder(const std::string& folder) override;
    Status renameFile(const std::string& from, const std::string& to) override;
    Status removeFile(const std::string& path) override;
    PathInfo examine(const std::string& path) override;
    Expected<std::string> folderIdentity(const std::string& folder) override;
    Expected<std::vector<std::string>> listFolder(const std::string& folder) override;
    Expected<TextBuffer> readWhole(const std::string& path) override;
    Expected<std::string> readOwnFile(const std::string& path) override;
    Expected<std::unique_ptr<LibraryLock>>
    lockLibrary(const std::string& path, const std::function<void()>& waiting) override;
    Expected<std::unique_ptr<LibraryLock>>
    shareLibraryLock(const std::string& path, const std::function<void()>& waiting) override;
    Status mayReplace(const std::string& path) override;
    std::string randomHex() override;
    std::string folderOf(const std::string& path) const override;

private:
    struct Inode {
        std::string data;
        std::string durable; // on the disk
    };
    enum class Kind { Create, Rename, Remove };
    struct FolderChange {
        Kind kind;
        std::string folder;
        std::string path;
        std::string to;
        std::uint64_t inode;
    };
    // The model: what a power cut now would leave to chance.
    struct Disk {
        std::map<std::uint64_t, Inode> inodes;
        std::map<std::string, std::uint64_t> durableNames;
        std::vector<FolderChange> pending;
        bool valid = false;
    };

    // Fails once the power is gone.
    Status change();
    std::uint64_t inodeOf(const std::string& path);
    void recordFolderChange(Kind kind, const std::string& path, const std::string& to,
                            std::uint64_t inode);

    FileMap& files_;
    std::set<std::string>& readOnly_;
    std::map<std::string, std::uint64_t> names_; // path -> inode, for files_
    Disk disk_;
    Disk frozen_;
    std::uint64_t nextInode_ = 1;
    std::uint64_t nextRandom_ = 0x5eed;
    int changes_ = 0;
    int cutAt_ = 0;
};

} // namespace quillora::testing
