#include "catalog/CatalogBody.h"
#include "catalog/CatalogLine.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "catalog/MarkedItem.h"
#include "platform/Platform.h"
#include "status/Diagnostic.h"
#include "text/AsciiCase.h"
#include "text/TextCursor.h"

#include <memory>
#include <unordered_set>
#include <utility>

namespace quillora {

namespace {

using namespace catalogline;

constexpr std::uint32_t kOldestVersion = 5;
// Letters before the first item line, from this version on.
constexpr std::uint32_t kFirstLetteredVersion = 8;

// The diagnostic for the line of the cursor's position.
std::string at(const std::string& path, const TextCursor& position, const std::string& reason) {
    return diagnosticAt(path, position.lineNumber(), reason);
}

// A body that cannot be read gets the code of a category line that cannot be.
Status bodyUnreadable(const std::string& path, const TextCursor& position,
                      const std::string& reason) {
    return Status::formatResult(result::VersionTooOld, at(path, position, reason));
}

// The header splits at ":" runs, leading ones passed over: name, qualifier, and
// any further part dropped.
void splitHeader(const std::string& header, std::string& name, std::string& qualifier) {
    name.clear();
    qualifier.clear();
    std::string* parts[] = {&name, &qualifier};
    std::size_t start = 0;
    for (std::string* part : parts) {
        start = header.find_first_not_of(':', start);
        if (start == std::string::npos) {
            return;
        }
        std::size_t stop = header.find(':', start);
        part->assign(header, start, stop == std::string::npos ? std::string::npos : stop - start);
        start = stop;
    }
}

// A WELCOME, INIT or MODE line: the value follows the first "=", if any.
void readKeyLine(TextCursor& in, bool& hasKey, std::string& value) {
    std::string line;
    readLine(in, line);
    std::size_t equals = line.find('=');
    hasKey = true;
    value = equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

// A SEARCH line: its three fields end at bars, not at the end of the line; what
// follows the third bar is left for the next key line.
void readSearchLine(TextCursor& in, OwningList<SearchEntry>& searches) {
    in.ignore(kWholeLine, '=');
    auto entry = std::make_unique<SearchEntry>();
    std::string flagField;
    in.readUntil(entry->text1, '|');
    in.readUntil(entry->text2, '|');
    in.readUntil(flagField, '|');
    if (in.failed()) {
        return;
    }
    entry->flag = !flagField.empty() && (flagField[0] == 'T' || flagField[0] == 't');
    searches.append(std::move(entry));
}

// The header, the two paths and the status line of a package section, from
// its "[" on; a failure when they cannot be read completely.
Status readPackageHead(TextCursor& in, const std::string& path, Package& package) {
    const TextCursor sectionStart = in;
    in.get();
    std::string header;
    in.readUntil(header, ']');
    if (in.failed() || in.atEnd() || header.find('\n') != std::string::npos) {
        return bodyUnreadable(path, sectionStart, "the section header has no \"]\" on its line");
    }
    std::string name;
    std::string qualifier;
    splitHeader(header, name, qualifier);
    package.setName(name);
    package.setQualifier(qualifier);
    dropLine(in);

    std::string line;
    readLine(in, line);
    package.setDataFileLocation(line);
    readLine(in, line);
    package.setSecondPath(line);
    if (!in.readUInt32(package.number)) {
        return in.atEnd()
                   ? bodyUnreadable(path, sectionStart,
                                    "the package section ends before its status line")
                   : bodyUnreadable(path, in, "the status line does not begin with a number");
    }
    skipThroughTab(in, 5);
    std::string status;
    readLine(in, status);
    // Only a lower-case first letter counts: "Active" is inactive.
    package.active = !status.empty() && status[0] == 'a';
    package.modified = true;
    return Status();
}

// The item line at the cursor, or null at the end of the items. skipped is
// set for a lettered line of a kind that is not kept (already dropped).
std::unique_ptr<PackageItem> itemAt(TextCursor& in, std::uint32_t version, bool& skipped) {
    skipped = false;
    int c = in.peek();
    if (version < kFirstLetteredVersion) {
        return isDigit(c) ? std::make_unique<DirectoryItem>() : nullptr;
    }
    if (!isLetter(c)) {
        return nullptr;
    }
    in.get();
    skipThroughTab(in, 10);
    if (c == 'D' || c == 'd') {
        return std::make_unique<DirectoryItem>();
    }
    if (c == 'A' || c == 'a') {
        return std::make_unique<MarkedItem>();
    }
    dropLine(in);
    skipped = true;
    return nullptr;
}

// The item lines that follow a package's status line.
Status readPackageItems(TextCursor& in, std::uint32_t version, const std::string& path,
                        Package& package) {
    // Stands for the package's hasItem, kept here so that reading stays linear.
    std::unordered_set<std::int32_t> ids;
    while (true) {
        const TextCursor lineStart = in;
        bool skipped = false;
        std::unique_ptr<PackageItem> item = itemAt(in, version, skipped);
        if (skipped) {
            continue;
        }
        if (item == nullptr) {
            return Status();
        }
        // Dropping the line and reading on would write the catalogue back without it.
        if (!item->read(in, version)) {
            return bodyUnreadable(path, lineStart,
                                  "the item line has no readable identifier or is cut short");
        }
        // The first item with an identifier wins.
        if (!ids.insert(item->id).second) {
            continue;
        }
        if (item->id > package.highItemId) {
            package.highItemId = item->id;
            package.modified = true;
        }
        package.items.append(std::move(item));
    }
}

} // namespace

Status CatalogBody::readBody(TextCursor& in, std::uint32_t version, const std::string& path) {
    if (version < kOldestVersion) {
        return Status::formatResult(result::VersionTooOld,
                                    at(path, in,
                                       "version " + std::to_string(version) + " is older than " +
                                           std::to_string(kOldestVersion) +
                                           ", the oldest one read"));
    }
    while (!in.failed() && isDigit(in.peek())) {
        const TextCursor lineStart = in;
        auto category = std::make_unique<Category>();
        if (!category->read(in, version)) {
            return bodyUnreadable(path, lineStart, "the category line's fields cannot be read");
        }
        categories.append(std::move(category));
    }
    while (!in.failed()) {
        int c = in.peek();
        if (c == TextCursor::kEnd) {
            break;
        }
        if (c != '[') {
            dropLine(in);
            continue;
        }
        auto package = std::make_unique<Package>();
        Status status = readPackageHead(in, path, *package);
        if (status) {
            status = readPackageItems(in, version, path, *package);
        }
        if (!status) {
            return status;
        }
        packages.append(std::move(package));
    }
    return Status();
}

namespace {

Status notACatalog(const std::string& path, const TextCursor& position, const std::string& reason) {
    return Status::formatResult(result::NotACatalog, at(path, position, reason));
}

// The "Version <n>" line.
Status readVersionLine(TextCursor& in, const std::string& path, std::uint32_t newest,
                       std::uint32_t& version) {
    const TextCursor fileStart = in;
    int first = in.peek();
    if (first == TextCursor::kEnd) {
        return notACatalog(path, in, "the file is empty");
    }
    std::string word;
    if ((first != 'V' && first != 'v') || !in.readWord(word) || toLowerAscii(word) != "version") {
        return notACatalog(path, fileStart, "the file does not begin with the word \"Version\"");
    }
    if (!in.readUInt32(version)) {
        return notACatalog(path, in, "the version is not a number");
    }
    if (version > newest) {
        return Status::formatResult(
            result::CatalogTooNew,
            at(path, in,
               "version " + std::to_string(version) + " is newer than " + std::to_string(newest)));
    }
    dropLine(in);
    return Status();
}

} // namespace

// The WELCOME, INIT, MODE and SEARCH lines up to the section line, which is
// dropped too.
Status LibraryCatalog::readKeyLines(TextCursor& in) {
    while (true) {
        switch (in.peek()) {
        case TextCursor::kEnd:
            // Waiting for a "[" that never comes would read nothing more.
            return notACatalog(openedPath.text(), in,
                               "the file ends before its section line (a line beginning with "
                               "\"[\")");
        case '[':
            dropLine(in);
            return Status();
        case 'W':
        case 'w':
            readKeyLine(in, hasWelcome, welcome);
            break;
        case 'I':
        case 'i':
            readKeyLine(in, hasInit, init);
            break;
        case 'M':
        case 'm':
            readKeyLine(in, hasMode, mode);
            break;
        case 'S': // upper case only
            readSearchLine(in, searches);
            break;
        default:
            dropLine(in);
            break;
        }
    }
}

Status LibraryCatalog::readCatalog(Platform& platform) {
    Expected<FileBytes> file = platform.readFile(catalogFileName);
    if (!file) {
        return Status::formatResult(
            result::NotACatalog,
            diagnosticAt(catalogFileName, "cannot read the file: " + file.status().reason()));
    }
    openedPath = file->resolvedPath;
    // The cursor refers to this text, so it lives until the read is over.
    DecodedText decoded = decodeText(std::move(file->bytes));
    lineEnding = decoded.lineEnding;
    TextCursor in(decoded.text.view());

    std::uint32_t version = 0;
    Status status = readVersionLine(in, openedPath.text(), formatVersion, version);
    if (status && version >= kOldestVersion) {
        status = readKeyLines(in);
    }
    if (!status) {
        return status;
    }
    return body.readBody(in, version, openedPath.text());
}

} // namespace quillora
