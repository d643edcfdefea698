// Helpers for reading and writing records and whole book data files in memory.
#pragma once

#include "bookdata/BookDataFile.h"
#include "bookdata/LibraryEntry.h"
#include "support/FakePlatform.h"
#include "support/RecordLines.h"
#include "text/TextCursor.h"
#include "text/TextSink.h"

#include <memory>
#include <string>

namespace quillora::testing {

constexpr const char* kDataFile = "book.dat";

// Loads text as a book data file.
inline Status loadText(BookDataFile& file, FakePlatform& platform, const std::string& text) {
    platform.files[kDataFile] = text;
    return file.load(platform, kDataFile);
}

// Saves the file and returns what it wrote.
inline std::string saveText(BookDataFile& file, FakePlatform& platform) {
    static_cast<void>(file.save(platform, kDataFile));
    return platform.files[kDataFile];
}

// A record read on its own, holding the line its texts point into; null when
// the record could not be read.
template <class Entry> class ReadRecord {
public:
    ReadRecord(const std::string& fields, std::int32_t fileVersion, bool& ok)
        : fields_(std::make_unique<std::string>(fields)), file_(std::make_unique<BookDataFile>()) {
        file_->setSourceText(*fields_);
        entry_ = file_->make<Entry>();
        TextCursor in(*fields_);
        ok = entry_->read(in, fileVersion);
    }
    ReadRecord(ReadRecord&&) noexcept = default;
    Entry* operator->() const { return entry_; }
    Entry* get() const { return entry_; }
    Entry& operator*() const { return *entry_; }
    void reset() { entry_ = nullptr; }
    friend bool operator==(const ReadRecord& r, std::nullptr_t) { return r.entry_ == nullptr; }
    friend bool operator!=(const ReadRecord& r, std::nullptr_t) { return r.entry_ != nullptr; }

private:
    std::unique_ptr<std::string> fields_;
    std::unique_ptr<BookDataFile> file_;
    Entry* entry_ = nullptr;
};

// Reads one record from the fields after its tag and tab.
template <class Entry>
ReadRecord<Entry> readRecord(const std::string& fields, std::int32_t fileVersion, bool& ok) {
    return ReadRecord<Entry>(fields, fileVersion, ok);
}

template <class Entry>
ReadRecord<Entry> readRecord(const std::string& fields, std::int32_t fileVersion) {
    bool ok = false;
    ReadRecord<Entry> entry(fields, fileVersion, ok);
    if (!ok) {
        entry.reset();
    }
    return entry;
}

// Version-9 lines of a plain book and of a group, named after their id.
inline std::string bookLine(int id, int hasLValue = 0) {
    BookFields b;
    b.id = std::to_string(id);
    b.name = "Book" + b.id;
    b.hasLValue = std::to_string(hasLValue);
    return bookLine(b);
}
inline std::string groupLine(int id) {
    GroupFields g;
    g.id = std::to_string(id);
    g.name = "Group" + g.id;
    return groupLine(g);
}
constexpr const char* kHeader9 = "zobooksdatafile 9\n";

inline std::string writeRecord(const LibraryEntry& entry) {
    TextSink out;
    entry.write(out, 9);
    return out.take();
}

} // namespace quillora::testing
