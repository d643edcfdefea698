// The next package's book data file made into entries on the second core while
// the current one is changed and written. Its bytes are read in the run's own
// thread, at the point where a run would read the next file anyway or before:
// only what is made of them moves aside, and it touches nothing but that
// package's book data.
#pragma once

#include "platform/ResolvedPath.h"
#include "status/Status.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace quillora {

class BookDataFile;
class Package;
class Platform;
struct FileBytes;
struct InstallDirectories;

class PackageReadAhead {
public:
    PackageReadAhead();
    // Waits for what was started; what it loaded and nobody took is freed.
    ~PackageReadAhead();
    PackageReadAhead(const PackageReadAhead&) = delete;
    PackageReadAhead& operator=(const PackageReadAhead&) = delete;

    // Reads package's book data file through files now and starts making its
    // entries.
    void start(Package& package, Platform& files, const InstallDirectories& directories);
    // What was started read the file at target, which a save has replaced
    // since: it is read again in its turn (two packages naming one file).
    void forgetReadsOf(const ResolvedPath& target);
    // Loads package: takes what was started for it, or loads it now.
    Status load(Package& package, Platform& files, const InstallDirectories& directories);

private:
    // The file's bytes, or why they could not be read, for book to make entries of.
    struct Job {
        BookDataFile* book;
        std::unique_ptr<Expected<FileBytes>> source;
    };
    // The one worker thread's loop: a job at a time, until the run's end.
    void work();
    // What was started, made into entries: here when no thread took it.
    Status finish();
    void drop();

    Package* package_ = nullptr; // whose file was started
    ResolvedPath read_;          // where that file was found
    std::optional<Job> job_;     // started, and not yet taken by the worker
    std::optional<Status> done_; // the worker's outcome of the last job
    bool working_ = false;       // the worker has a job
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread worker_; // not running when the system gave no thread
};

} // namespace quillora
