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

    Expected<std::string> createFileWith(const std::string& path, const NewContent& content,
                                         const std::string& replacing) override;
    Expected<std::unique_ptr<OpenFile>> createOpenFile(const std::string& path) override;
    Status syncFile(const std::string& path) override;
    Status syncFolder(const std::string& folder) override;
    Status renameFile(const std::string& from, const std::string& to) override;
    Status removeFile(const std::string& path) override;
    PathInfo examine(const std::string& path) override { return inner_.examine(path); }
    Expected<std::string> folderIdentity(const std::string& folder) override {
        return inner_.folderIdentity(folder);
    }
    Expected<std::vector<std::string>> listFolder(const std::string& folder) override {
        return inner_.listFolder(folder);
    }
    Expected<TextBuffer> readWhole(const std::string& path) override;
    Expected<std::string> readOwnFile(const std::string& path) override {
        return inner_.readOwnFile(path);
    }
    Expected<std::unique_ptr<LibraryLock>>
    lockLibrary(const std::string& path, const std::function<void()>& waiting) override;
    Expected<std::unique_ptr<LibraryLock>>
    shareLibraryLock(const std::string& path, const std::function<void()>& waiting) override;
    Status mayReplace(const std::string& path) override { return inner_.mayReplace(path); }
    std::string randomHex() override { return inner_.randomHex(); }
    std::string folderOf(const std::string& path) const override { return inner_.folderOf(path); }

    // Fails, saying why, when the hook fails operation on path.
    Status admits(FileOperation operation, const char* what, const std::string& path) const;

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
