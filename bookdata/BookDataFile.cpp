// The book data file as a whole: where it lives, its header, loading and saving.
#include "bookdata/BookDataFile.h"
#include "bookdata/GroupEntry.h"
#include "platform/FileStage.h"
#include "platform/Platform.h"
#include "status/Diagnostic.h"
#include "text/AsciiCase.h"
#include "text/TextCursor.h"
#include "text/TextSink.h"

#include <cstring>

namespace quillora {

namespace {

constexpr std::string_view kMagic = "zobooksdatafile";
// The magic word is looked for this far; a longer first word cannot be it.
constexpr std::size_t kMagicSearch = 19;
// What is dropped after the version: a CR or a comment of a few characters.
constexpr std::size_t kRestOfHeader = 10;
// How much of a file's new content is held before it is written.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;
// Room for a header beyond the text that was read, for the first piece, and
// for the fields an older version's lines gain when written anew: growing the
// buffer would copy what it holds. Room that is never written costs nothing.
constexpr std::size_t kHeaderRoom = 64;
std::size_t firstPieceRoom(std::size_t textSize) {
    return textSize + textSize / 4 + kHeaderRoom;
}

bool isMagic(const std::string& word) {
    return word.size() == kMagic.size() && startsWithNoCase(word, std::string(kMagic));
}

} // namespace

Status BookDataFile::load(Platform& platform, const std::string& path) {
    if (loaded) {
        return Status();
    }
    return loadFrom(readSource(platform, path));
}

Expected<FileBytes> BookDataFile::readSource(Platform& platform, const std::string& path) {
    // The system would take such a name for the part before the NUL, and the
    // file would then be saved in place rather than replaced in one step.
    const std::size_t nul = path.find('\0');
    if (nul != std::string::npos) {
        return Status::formatResult(result::BadMagic,
                                    path.substr(0, nul) + ": the file name holds a NUL byte");
    }
    Expected<FileBytes> file = platform.readFile(path);
    if (!file) {
        return Status::formatResult(result::BadMagic, path + ": " + file.status().reason());
    }
    return file;
}

Status BookDataFile::loadFrom(Expected<FileBytes> source) {
    clear();
    maxEntryId = 0;
    if (!source) {
        openedPath = ResolvedPath();
        return source.status();
    }
    openedPath = source->resolvedPath;
    DecodedText decoded = decodeText(std::move(source->bytes));
    lineEnding = decoded.lineEnding;
    text_ = std::move(decoded.text);
    TextCursor in(text_.view());
    std::int32_t fileVersion = 0;
    Status status = readHeader(in, fileVersion);
    if (status) {
        status = readEntries(in, fileVersion);
    }
    loaded = status.ok();
    return status;
}

Status BookDataFile::save(FileStage& stage, const std::string& path) {
    // Write back where the file was found, so a path matched without regard to
    // case is not written beside the original.
    const ResolvedPath target = openedPath.empty() ? stage.resolve(path) : openedPath;
    modified = false;
    const auto content = [this](const PieceWriter& write) {
        // A large file is written out a piece at a time rather than built whole
        // beside the text it was read from.
        LineEndEncoder encoder(lineEnding);
        TextSink out([&](std::string_view piece) { return write(encoder.encode(piece)); },
                     kPieceSize, firstPieceRoom(text_.size()));
        writeHeader(out);
        writeEntries(out);
        return out.finish();
    };
    const Status saved = stage.stage(target, content);
    if (!saved) {
        return Status::formatResult(result::WriteFailed, target.text() + ": " + saved.reason());
    }
    return Status();
}

void BookDataFile::clear() {
    rootEntries.removeAll();
    allEntries.removeAll();
    memory_.release();
    text_ = TextBuffer();
    std::string().swap(kept_);
    std::vector<EntryText>().swap(wide_);
    source_ = std::string_view();
    loaded = false;
    modified = true;
}

EntryText BookDataFile::keepText(std::string_view text) {
    EntryText kept{static_cast<std::uint32_t>(kept_.size()) | kKept,
                   static_cast<std::uint32_t>(text.size())};
    kept_.append(text);
    return kept;
}

std::string_view LibraryEntry::text(TextField field) const {
    return owner != nullptr ? owner->text(textAt(field)) : std::string_view();
}

std::uint32_t BookDataFile::keepTexts(const EntryText* texts, std::size_t count) {
    const auto at = static_cast<std::uint32_t>(wide_.size());
    wide_.insert(wide_.end(), texts, texts + count);
    return at;
}

void BookDataFile::addEntry(LibraryEntry* entry) {
    if (entry == nullptr) {
        return;
    }
    if (entry->parent == nullptr) {
        rootEntries.append(entry);
    } else {
        entry->parent->append(entry);
    }
    allEntries.append(entry);
    modified = true;
}

// "zobooksdatafile", one space, the version. A version above ours is reported
// even when the magic word is wrong; a missing one gives 400. Versions below 3,
// negative ones included, are refused before any record is read.
Status BookDataFile::readHeader(TextCursor& in, std::int32_t& fileVersion) {
    // The first word and the one space that ends it, within the first characters.
    std::string word;
    bool spaceFound = false;
    for (std::size_t i = 0; i <= kMagicSearch && !spaceFound; ++i) {
        int c = in.get();
        if (c == TextCursor::kEnd) {
            break;
        }
        spaceFound = c == ' ';
        if (!spaceFound) {
            word.push_back(static_cast<char>(c));
        }
    }
    Status status;
    if (!spaceFound || !isMagic(word)) {
        status = Status::formatResult(
            result::BadMagic, diagnosticAt(openedPath.text(), 1,
                                           "not a book data file: it does not begin with \"" +
                                               std::string(kMagic) + " \""));
        if (!spaceFound) {
            return status;
        }
    }
    std::int32_t version = 0;
    if (!in.readInt32(version)) {
        return Status::formatResult(
            result::BadMagic,
            diagnosticAt(openedPath.text(), in.lineNumber(),
                         "the header has no version number, or one out of range"));
    }
    fileVersion = version;
    if (version > formatVersion) {
        status = Status::formatResult(result::VersionTooNew,
                                      diagnosticAt(openedPath.text(), in.lineNumber(),
                                                   "version " + std::to_string(version) +
                                                       " is newer than this tool reads (" +
                                                       std::to_string(formatVersion) + ")"));
    }
    in.ignore(kRestOfHeader, '\n');
    return status;
}

void BookDataFile::writeHeader(TextSink& out) const {
    out.text(kMagic).ch(' ').i32(formatVersion).newline();
}

// Only the roots: a group writes its members itself.
void BookDataFile::writeEntries(TextSink& out) const {
    for (const LibraryEntry* entry : rootEntries) {
        entry->write(out, formatVersion);
    }
}

} // namespace quillora
