// A file system that asks a test before each operation whether it fails: a
// real host's files (or any other FileSystem) under a whole run, with failures
// the disk seldom gives. The same on both hosts:
//
// - The hook is asked once per operation, before it is made; a code other
//   than 0 (an errno value on POSIX, a Win32 error code on Windows) fails it,
//   worded as the host words that code.
// - Open fails before the file is made; Write after it was made: half of the
//   first piece of content reaches the file, then the write fails and the file
//   is removed, as after a short write on a full disk. Flush fails once the
//   content is written and removes the file. Nothing else is touched by a
//   failed operation.
// - A hook that does something else (kills the process, plants a file) acts at
//   that point of the run.
#pragma once

#include "platform/FileSystem.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quillora::testing {

// Open makes a new file, Write fills it and Flush starts its writing out; Sync
// waits for a file to be on the disk and SyncFolder for a folder's entries;
// Append adds to an open file (the commit record); Lock takes the library's
// lock.
enum class FileOperation {
    Read,
    Open,
    Write,
    Flush,
    Sync,
    SyncFolder,
    Rename,
    Remove,
    Append,
    Lock
};
using FileFaultHook = std::function<int(FileOperation)>;

class FaultyFileSystem : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& inner) : inner_(inner) {}

    void setFaultHook(FileFaultHook hook) { hook_ = std::move(hook); }
    // What the hook gives operation; 0 lets it run.
    int fault(FileOperation operation) const { return hook_ ? hook_(operation) : 0; }

    CreateStatus createFileWith(const std::string& path, const NewContent& content,
                                const std::string& replacing, std::string& identity,
                                std::string& error) override;
    std::unique_ptr<OpenFile> createOpenFile(const std::string& path, CreateStatus& status,
                                             std::string& error) override;
    bool syncFile(const std::string& path, std::string& error) override;
    bool syncFolder(const std::string& folder, std::string& error) override;
    bool renameFile(const std::string& from, const std::string& to, std::string& error) override;
    bool removeFile(const std::string& path, std::string& error) override;
    PathInfo examine(const std::string& path) override { return inner_.examine(path); }
    bool folderIdentity(const std::string& folder, std::string& identity,
                        std::string& error) override {
        return inner_.folderIdentity(folder, identity, error);
    }
    bool listFolder(const std::string& folder, std::vector<std::string>& names,
                    std::string& error) override {
        return inner_.listFolder(folder, names, error);
    }
    bool readWhole(const std::string& path, std::string& bytes, std::string& error) override;
    bool readOwnFile(const std::string& path, std::string& bytes, std::string& error) override {
        return inner_.readOwnFile(path, bytes, error);
    }
    std::unique_ptr<LibraryLock> lockLibrary(const std::string& path,
                                             const std::function<void()>& waiting,
                                             std::string& error) override;
    std::unique_ptr<LibraryLock> shareLibraryLock(const std::string& path,
                                                  const std::function<void()>& waiting,
                                                  std::string& error) override;
    bool mayReplace(const std::string& path, std::string& error) override {
        return inner_.mayReplace(path, error);
    }
    std::string randomHex() override { return inner_.randomHex(); }
    std::string folderOf(const std::string& path) const override { return inner_.folderOf(path); }

    // False, with error saying why, when the hook fails operation on path.
    bool admits(FileOperation operation, const char* what, const std::string& path,
                std::string& error) const;

private:
    FileSystem& inner_;
    FileFaultHook hook_;
};

// A real platform whose file operations go through a FaultyFileSystem: Host is
// PosixPlatform or WindowsPlatform, built with args.
template <class Host> class FaultyHost : public Host {
public:
    template <class... Args>
    explicit FaultyHost(Args&&... args)
        : Host(std::forward<Args>(args)...), files_(Host::fileSystem()) {}

    void setFaultHook(FileFaultHook hook) { files_.setFaultHook(std::move(hook)); }
    FileSystem& fileSystem() override { return files_; }

private:
    FaultyFileSystem files_;
};

} // namespace quillora::testing
