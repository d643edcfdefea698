// The tag parser: turns the lines after the header into entries and builds the
// entry tree of the book data file.
#include "bookdata/BookDataFile.h"
#include "bookdata/BookEntry.h"
#include "bookdata/ExtractGroupEntry.h"
#include "bookdata/ExtractSingleEntry.h"
#include "bookdata/GroupEntry.h"
#include "bookdata/ProgramEntry.h"
#include "status/Diagnostic.h"
#include "text/AsciiCase.h"
#include "text/TextCursor.h"

namespace quillora {

namespace {

// Windows text mode ends a file at Ctrl-Z; old files may still carry one.
constexpr char kDosEndOfFile = '\x1a';

// True when only blanks and further Ctrl-Z marks follow; nothing after the
// mark may be dropped unseen.
bool endsAfterCtrlZ(TextCursor& in) {
    char c = 0;
    while (in.readChar(c)) {
        if (c != kDosEndOfFile) {
            return false;
        }
    }
    return true;
}

// The character for a message: itself when printable, else its byte value, so
// that a stray control byte cannot garble the message.
std::string shown(char c) {
    if (c >= ' ' && c <= '~') {
        return std::string("'") + c + "'";
    }
    const char* const digits = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(c);
    return std::string("byte 0x") + digits[byte >> 4] + digits[byte & 0xF];
}

LibraryEntry* makeEntry(char tag, BookDataFile& file) {
    switch (tag) {
    case 'B':
        return file.make<BookEntry>();
    case 'G':
        return file.make<GroupEntry>();
    case 'P':
        return file.make<ProgramEntry>();
    case 'X':
        return file.make<ExtractSingleEntry>();
    case 'Y':
        return file.make<ExtractGroupEntry>();
    default:
        return nullptr;
    }
}

// Reads the record lines into the file's entries, keeping track of the open
// group and of the entry that an L or E line refers to.
class TagParser {
public:
    TagParser(BookDataFile& file, TextCursor& in, std::int32_t fileVersion)
        : file_(file), in_(in), fileVersion_(fileVersion) {}

    Status readAll() {
        char raw = 0;
        while (in_.readChar(raw)) {
            const std::size_t tagPosition = in_.position() - 1;
            if (raw == kDosEndOfFile) {
                if (endsAfterCtrlZ(in_)) {
                    break;
                }
                return fail(tagPosition, "records follow an end-of-file mark (Ctrl-Z)");
            }
            const char tag = upperAsciiChar(raw);
            if (tag == 'E') {
                closeGroup();
            } else if (tag == 'L') {
                if (!readLLine()) {
                    return fail(tagPosition, "the L line has no number");
                }
            } else {
                Status status = readRecord(raw, tag, tagPosition);
                if (!status) {
                    return status;
                }
            }
        }
        return Status();
    }

private:
    Status fail(std::size_t tagPosition, const std::string& reason) {
        return Status::formatResult(
            result::BadRecordTag,
            diagnosticAt(file_.openedPath.text(), in_.lineNumberAt(tagPosition), reason));
    }

    // Closes the innermost open group.
    void closeGroup() {
        if (lastEntry_ == nullptr) {
            return;
        }
        GroupEntry* back = lastEntry_->parent;
        if (back != nullptr && lastEntry_->kind != EntryKind::Group) {
            back = back->parent;
        }
        currentGroup_ = back;
        lastEntry_ = back;
    }

    // The L value of the book just read, if that book expects one.
    bool readLLine() {
        std::int32_t value = 0;
        if (!in_.readInt32(value)) {
            return false;
        }
        if (lastEntry_ != nullptr && lastEntry_->kind == EntryKind::Book) {
            auto* book = static_cast<BookEntry*>(lastEntry_);
            if (book->hasLValue != 0) {
                book->hasLValue = value > 0 ? std::int8_t{1} : std::int8_t{0};
                book->lValue = value;
            }
        }
        return true;
    }

    Status readRecord(char raw, char tag, std::size_t tagPosition) {
        LibraryEntry* entry = makeEntry(tag, file_);
        if (entry == nullptr) {
            return fail(tagPosition, "no record begins with " + shown(raw));
        }
        in_.skipOne();
        if (!entry->read(in_, fileVersion_)) {
            return fail(tagPosition, std::string("the ") + tag +
                                         " record cannot be read: a field is missing or is "
                                         "not a number");
        }
        entry->parent = currentGroup_;
        if (entry->id > file_.maxEntryId) {
            file_.maxEntryId = entry->id;
        }
        lastEntry_ = entry;
        if (tag == 'G') {
            currentGroup_ = static_cast<GroupEntry*>(lastEntry_);
        }
        file_.addEntry(entry);
        return Status();
    }

    BookDataFile& file_;
    TextCursor& in_;
    const std::int32_t fileVersion_;
    GroupEntry* currentGroup_ = nullptr;
    // The entry of the last record line, or the group that the last E returned to.
    LibraryEntry* lastEntry_ = nullptr;
};

} // namespace

// Any record that cannot be read ends the load with 401, so that a save never
// drops the records after it.
Status BookDataFile::readEntries(TextCursor& in, std::int32_t fileVersion) {
    if (fileVersion < kOldestVersion) {
        return Status::formatResult(result::VersionTooOld,
                                    diagnosticAt(openedPath.text(), 1,
                                                 "version " + std::to_string(fileVersion) +
                                                     " is older than this tool reads (" +
                                                     std::to_string(kOldestVersion) + ")"));
    }
    // Too large to read counts as a file that cannot be read at all.
    if (in.text().size() >= kLargestText) {
        return Status::formatResult(result::BadMagic,
                                    openedPath.text() +
                                        ": the file is 2 GiB or larger, more than this tool reads");
    }
    setSourceText(in.text());
    Status status = TagParser(*this, in, fileVersion).readAll();
    if (status) {
        modified = false;
    }
    return status;
}

} // namespace quillora
