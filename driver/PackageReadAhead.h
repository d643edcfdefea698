// The next package's book data file made into entries on the second core while
// the current one is changed and written. Its bytes are read in the run's own
// thread, at the point where a run would read the next file anyway or before:
// only what is made of them moves aside, and it touches nothing but that
// package's book data.
#pragma once

#include "platform/ResolvedPath.h"
#include "status/Status.h"

namespace quillora {

class BackgroundWorker;
class Package;
class Platform;
struct InstallDirectories;

class PackageReadAhead {
public:
    explicit PackageReadAhead(BackgroundWorker& worker) : worker_(worker) {}
    // Waits for what was started; what it loaded and nobody took is freed.
    ~PackageReadAhead() { drop(); }
    PackageReadAhead(const PackageReadAhead&) = delete;
    PackageReadAhead& operator=(const PackageReadAhead&) = delete;

    // Reads package's book data file through files now and starts making its
    // entries.
    void start(Package& package, Platform& files, const InstallDirectories& directories);
    // Loads package here and now, for load() to take: the run's own thread
    // does it while the worker is busy with something else.
    void loadNow(Package& package, Platform& files, const InstallDirectories& directories);
    // What was started read the file at target, which a save has replaced
    // since: it is read again in its turn (two packages naming one file).
    void forgetReadsOf(const ResolvedPath& target);
    // Loads package: takes what was started for it, or loads it now.
    Status load(Package& package, Platform& files, const InstallDirectories& directories);

private:
    void drop();

    BackgroundWorker& worker_;
    Package* package_ = nullptr; // whose file was started
    ResolvedPath read_;          // where that file was found
    Status loaded_;              // set by the worker, or by loadNow
};

} // namespace quillora
