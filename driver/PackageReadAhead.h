// The next package's book data file made into entries on the second core while
// the current one is changed and written. Its bytes are read in the run's own
// thread, at the point where a run would read the next file anyway or before:
// only what is made of them moves aside, to whichever thread comes to it
// first, and it touches nothing but that package's book data.
#pragma once

#include "platform/Platform.h"
#include "platform/ResolvedPath.h"
#include "status/Status.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace quillora {

class BackgroundWorker;
class Package;
struct InstallDirectories;

class PackageReadAhead {
public:
    explicit PackageReadAhead(BackgroundWorker& worker) : worker_(worker) {}
    // Waits for what was started; what it loaded and nobody took is freed.
    ~PackageReadAhead() { drop(); }
    PackageReadAhead(const PackageReadAhead&) = delete;
    PackageReadAhead& operator=(const PackageReadAhead&) = delete;

    // Reads package's book data file through files now and hands the making of
    // its entries to the worker, after what it has to do already.
    void start(Package& package, Platform& files, const InstallDirectories& directories);
    // What was started read the file at target, which a save has replaced
    // since: it is read again in its turn (two packages naming one file).
    void forgetReadsOf(const ResolvedPath& target);
    // Loads package: takes what was started for it, or loads it now. Its
    // entries are made here if the worker has not begun them; otherwise this
    // waits for them, and only for them: the messages handed to the worker
    // before are printed meanwhile.
    Status load(Package& package, Platform& files, const InstallDirectories& directories);

private:
    // A file read ahead, made into entries by whichever thread claims it first.
    struct Job {
        Job(Package& ofPackage, Expected<FileBytes> bytes);
        // Makes the entries, unless the other thread has claimed them.
        void make();
        // Makes them, or waits until the thread that claimed them has.
        void makeOrWait();

        Package& package;
        Expected<FileBytes> source;
        ResolvedPath read; // where the file was found
        std::atomic<bool> claimed{false};
        Status loaded; // set by the thread that claimed it
        std::mutex mutex;
        std::condition_variable madeSignal;
        bool made = false;
    };
    void drop();

    BackgroundWorker& worker_;
    std::shared_ptr<Job> job_;
};

} // namespace quillora
