// The book data reader under hostile input, through a book data file's load and save
// (the property is in RoundTrip.h). The one value the format does not carry,
// the flag of a book whose L line is missing, is saved with "L -1", which
// clears it when the file is loaded again.
#include "RoundTrip.h"
#include "bookdata/BookDataFile.h"
#include "bookdata/BookEntry.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace quillora;

constexpr const char* kFile = "book.dat";

bool hasMissingLLine(const BookDataFile& package) {
    for (const LibraryEntry* entry : package.allEntries) {
        if (entry->kind == EntryKind::Book) {
            const auto* book = static_cast<const BookEntry*>(entry);
            if (book->hasLValue != 0 && book->lValue <= 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::checkRoundTrip<BookDataFile>(
        data, size, kFile,
        [](testing::FakePlatform& files, BookDataFile& file) { return file.load(files, kFile); },
        [](testing::FakePlatform& files, BookDataFile& file) { return file.save(files, kFile); },
        hasMissingLLine);
    return 0;
}
