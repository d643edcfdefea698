#include "driver/PackageReadAhead.h"

#include "catalog/Package.h"
#include "platform/Platform.h"

#include <system_error>
#include <utility>

namespace quillora {

PackageReadAhead::PackageReadAhead() {
    // Without a thread to spare, the entries are made when they are taken.
    try {
        worker_ = std::thread([this] { work(); });
    } catch (const std::system_error&) {
    }
}

PackageReadAhead::~PackageReadAhead() {
    drop();
    if (worker_.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }
}

void PackageReadAhead::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return stopping_ || job_.has_value(); });
        if (stopping_) {
            return;
        }
        Job job = std::move(*job_);
        job_.reset();
        working_ = true;
        lock.unlock();
        Status status = job.book->loadFrom(std::move(*job.source));
        lock.lock();
        working_ = false;
        done_ = std::move(status);
        changed_.notify_all();
    }
}

void PackageReadAhead::start(Package& package, Platform& files,
                             const InstallDirectories& directories) {
    drop();
    if (package.bookData.loaded) {
        return;
    }
    auto source = std::make_unique<Expected<FileBytes>>(
        BookDataFile::readSource(files, package.dataFilePath(directories)));
    // A file that could not be read fails in its turn, with the reason it had now.
    const bool read = source->ok();
    read_ = read ? (*source)->resolvedPath : ResolvedPath();
    package_ = &package;
    const std::lock_guard<std::mutex> lock(mutex_);
    job_ = Job{&package.bookData, std::move(source)};
    done_.reset();
    if (read && worker_.joinable()) {
        changed_.notify_all();
    }
}

Status PackageReadAhead::finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    // A job the worker was not given (a file not read, or no thread) is done here.
    if (job_.has_value() && (!worker_.joinable() || !(*job_->source))) {
        Job job = std::move(*job_);
        job_.reset();
        lock.unlock();
        return job.book->loadFrom(std::move(*job.source));
    }
    changed_.wait(lock, [this] { return done_.has_value(); });
    Status status = std::move(*done_);
    done_.reset();
    return status;
}

void PackageReadAhead::forgetReadsOf(const ResolvedPath& target) {
    if (package_ != nullptr && !read_.empty() && read_ == target) {
        drop();
    }
}

Status PackageReadAhead::load(Package& package, Platform& files,
                              const InstallDirectories& directories) {
    if (package_ != &package) {
        drop();
        return package.load(files, directories);
    }
    package_ = nullptr;
    return finish();
}

void PackageReadAhead::drop() {
    if (package_ == nullptr) {
        return;
    }
    Package* const package = std::exchange(package_, nullptr);
    (void)finish();
    package->bookData.clear();
}

} // namespace quillora
