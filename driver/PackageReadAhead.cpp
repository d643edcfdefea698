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
    auto source = std::make_shared<Expected<FileBytes>>(
        BookDataFile::readSource(files, package.dataFilePath(directories)));
    read_ = source->ok() ? (*source)->resolvedPath : ResolvedPath();
    package_ = &package;
    BookDataFile& book = package.bookData;
    worker_.post([this, &book, source] { loaded_ = book.loadFrom(std::move(*source)); });
}

void PackageReadAhead::loadNow(Package& package, Platform& files,
                               const InstallDirectories& directories) {
    drop();
    if (package.bookData.loaded) {
        return;
    }
    loaded_ = package.load(files, directories);
    package_ = &package;
    read_ = ResolvedPath(); // read after the saves before it: nothing to forget
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
    worker_.finish();
    return std::exchange(loaded_, Status());
}

void PackageReadAhead::drop() {
    if (package_ == nullptr) {
        return;
    }
    worker_.finish();
    std::exchange(package_, nullptr)->bookData.clear();
    loaded_ = Status();
}

} // namespace quillora
