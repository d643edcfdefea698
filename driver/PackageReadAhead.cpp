#include "driver/PackageReadAhead.h"

#include "catalog/Package.h"
#include "platform/Platform.h"

#include <utility>

namespace quillora {

void PackageReadAhead::start(Package& package, Platform& files,
                             const InstallDirectories& directories) {
    drop();
    if (package.bookData.loaded) {
        return;
    }
    Expected<FileBytes> source = BookDataFile::readSource(files, package.dataFilePath(directories));
    // A file that could not be read fails in its turn, with the reason it had now.
    const bool read = source.ok();
    read_ = read ? source->resolvedPath : ResolvedPath();
    package_ = &package;
    BookDataFile& book = package.bookData;
    // Without a thread to spare, the entries are made when they are taken.
    loaded_ = std::async(
        read ? std::launch::async | std::launch::deferred : std::launch::deferred,
        [&book, bytes = std::move(source)]() mutable { return book.loadFrom(std::move(bytes)); });
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
    return loaded_.get();
}

void PackageReadAhead::drop() {
    if (package_ == nullptr) {
        return;
    }
    loaded_.wait();
    package_->bookData.clear();
    package_ = nullptr;
}

} // namespace quillora
