#include "driver/PackageReadAhead.h"

#include "catalog/Package.h"
#include "driver/BackgroundWorker.h"
#include "platform/Platform.h"

#include <memory>
#include <utility>

namespace quillora {

void PackageReadAhead::start(Package& package, Platform& files,
                             const InstallDirectories& directories) {
    drop();
    if (package.bookData.loaded) {
        return;
    }
    // A file that could not be read fails in its turn, with the reason it had now.
    auto job =
        std::make_shared<Job>(BookDataFile::readSource(files, package.dataFilePath(directories)));
    read_ = job->source.ok() ? job->source->resolvedPath : ResolvedPath();
    package_ = &package;
    job_ = job;
    BookDataFile& book = package.bookData;
    worker_.post([this, &book, job] {
        if (!job->claimed.exchange(true)) {
            loaded_ = book.loadFrom(std::move(job->source));
        }
    });
}

void PackageReadAhead::forgetReadsOf(const ResolvedPath& target) {
    if (package_ != nullptr && !read_.empty() && read_ == target) {
        drop();
    }
}

void PackageReadAhead::finishWork() {
    if (job_ != nullptr && !job_->claimed.exchange(true)) {
        loaded_ = package_->bookData.loadFrom(std::move(job_->source));
    }
    worker_.finish();
}

Status PackageReadAhead::load(Package& package, Platform& files,
                              const InstallDirectories& directories) {
    if (package_ != &package) {
        drop();
        return package.load(files, directories);
    }
    finishWork();
    package_ = nullptr;
    job_.reset();
    return std::exchange(loaded_, Status());
}

void PackageReadAhead::drop() {
    if (package_ == nullptr) {
        return;
    }
    // Entries the worker has not begun are never made.
    job_->claimed.exchange(true);
    worker_.finish();
    std::exchange(package_, nullptr)->bookData.clear();
    job_.reset();
    loaded_ = Status();
}

} // namespace quillora
