// The tag parser: turns the lines after the header into entries and builds the
// entry tree of the package.
#include "bookdata/BookDataFile.h"
#include "bookdata/BookEntry.h"
#include "bookdata/ExtractGroupEntry.h"
#include "bookdata/ExtractSingleEntry.h"
#include "bookdata/GroupEntry.h"
#include "bookdata/ProgramEntry.h"
#include "platform/AsciiCase.h"
#include "platform/Diagnostic.h"
#include "platform/TextCursor.h"

#include <memory>

namespace quillora {

namespace {

constexpr std::int32_t kOldestVersion = 3;
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

std::unique_ptr<LibraryEntry> makeEntry(char tag, BookDataFile* owner) {
    switch (tag) {
    case 'B':
        return std::make_unique<BookEntry>(owner);
    case 'G':
        return std::make_unique<GroupEntry>(owner);
    case 'P':
        return std::make_unique<ProgramEntry>(owner);
    case 'X':
        return std::make_unique<ExtractSingleEntry>(owner);
    case 'Y':
        return std::make_unique<ExtractGroupEntry>(owner);
    default:
        return nullptr;
    }
}

} // namespace

// Any record that cannot be read ends the load with 401, so that a save never
// drops the records after it.
ResultCode BookDataFile::readEntries(TextCursor& in, std::int32_t fileVersion) {
    if (fileVersion < kOldestVersion) {
        diagnostic = diagnosticAt(openedPath, 1,
                                  "version " + std::to_string(fileVersion) +
                                      " is older than this tool reads (" +
                                      std::to_string(kOldestVersion) + ")");
        return result::VersionTooOld;
    }
    GroupEntry* currentGroup = nullptr;
    // The entry of the last record line, or the group that the last E returned to.
    LibraryEntry* lastEntry = nullptr;
    char raw = 0;
    while (in.readChar(raw)) {
        const std::size_t tagPosition = in.position() - 1;
        if (raw == kDosEndOfFile) {
            if (endsAfterCtrlZ(in)) {
                break;
            }
            diagnostic = diagnosticAt(openedPath, in.lineNumberAt(tagPosition),
                                      "records follow an end-of-file mark (Ctrl-Z)");
            return result::BadRecordTag;
        }
        const char tag = upperAsciiChar(raw);
        if (tag == 'E') {
            // Closes the innermost open group.
            if (lastEntry != nullptr) {
                GroupEntry* back = lastEntry->parent;
                if (back != nullptr && lastEntry->kind != EntryKind::Group) {
                    back = back->parent;
                }
                currentGroup = back;
                lastEntry = back;
            }
            continue;
        }
        if (tag == 'L') {
            std::int32_t value = 0;
            if (!in.readInt32(value)) {
                diagnostic = diagnosticAt(openedPath, in.lineNumberAt(tagPosition),
                                          "the L line has no number");
                return result::BadRecordTag;
            }
            if (lastEntry != nullptr && lastEntry->kind == EntryKind::Book) {
                auto* book = static_cast<BookEntry*>(lastEntry);
                if (book->hasLValue != 0) {
                    book->hasLValue = value > 0 ? 1 : 0;
                    book->lValue = value;
                }
            }
            continue;
        }
        std::unique_ptr<LibraryEntry> entry = makeEntry(tag, this);
        if (entry == nullptr) {
            diagnostic = diagnosticAt(openedPath, in.lineNumberAt(tagPosition),
                                      "no record begins with " + shown(raw));
            return result::BadRecordTag;
        }
        in.skipOne();
        if (!entry->read(in, fileVersion)) {
            diagnostic = diagnosticAt(openedPath, in.lineNumberAt(tagPosition),
                                      std::string("the ") + tag +
                                          " record cannot be read: a field is missing or is "
                                          "not a number");
            return result::BadRecordTag;
        }
        entry->parent = currentGroup;
        if (entry->id > maxEntryId) {
            maxEntryId = entry->id;
        }
        lastEntry = entry.get();
        if (tag == 'G') {
            currentGroup = static_cast<GroupEntry*>(lastEntry);
        }
        addEntry(entry.release());
    }
    modified = false;
    return result::Success;
}

} // namespace quillora
