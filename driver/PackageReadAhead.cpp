#include "driver/PackageReadAhead.h"

#include "catalog/Package.h"
#include "driver/BackgroundWorker.h"
#include "platform/Platform.h"

#include <memory>
#include <utility>

namespace quillora {

PackageReadAhead::Job::Job(Package& ofPackage, Expected<FileBytes> bytes)
    : package(ofPackage), source(std::move(bytes)),
      read(source.ok() ? source->resolvedPath : ResolvedPath()) {}

void PackageReadAhead::Job::make() {
    if (claimed.exchange(true)) {
        return;
    }
    loaded = package.bookData.loadFrom(std::move(source));
    {
        const std::lock_guard<std::mutex> lock(mutex);
        made = true;
    }
    madeSignal.notify_all();
}

void PackageReadAhead::Job::makeOrWait() {
    make();
    std::unique_lock<std::mutex> lock(mutex);
    madeSignal.wait(lock, [this] { return made; });
}

void PackageReadAhead::start(Package& package, Platform& files,
                             const InstallDirectories& directories) {
    drop();
    if (package.bookData.loaded) {
        return;
    }
    // A file that could not be read fails in its turn, with the reason it had now.
    job_ = std::make_shared<Job>(
        package, BookDataFile::readSource(files, package.dataFilePath(directories)));
    worker_.post([job = job_] { job->make(); });
}

void PackageReadAhead::forgetReadsOf(const ResolvedPath& target) {
    if (job_ != nullptr && !job_->read.empty() && job_->read == target) {
        drop();
    }
}

Status PackageReadAhead::load(Package& package, Platform& files,
                              const InstallDirectories& directories) {
    if (job_ == nullptr || &job_->package != &package) {
        drop();
        return package.load(files, directories);
    }
    job_->makeOrWait();
    Status loaded = std::move(job_->loaded);
    job_.reset();
    return loaded;
}

void PackageReadAhead::drop() {
    if (job_ == nullptr) {
        return;
    }
    // Entries the worker has not begun are never made.
    job_->claimed = true;
    worker_.finish();
    job_->package.bookData.clear();
    job_.reset();
}

} // namespace quillora
