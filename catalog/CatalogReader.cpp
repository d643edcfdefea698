#include "catalog/CatalogBody.h"
#include "catalog/CatalogLine.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "catalog/MarkedItem.h"
#include "text/AsciiCase.h"
#include "status/Diagnostic.h"
#include "text/TextCursor.h"
#include "platform/Platform.h"

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
// its "[" on; false (with why) when they cannot be read completely.
bool readPackageHead(TextCursor& in, const std::string& path, Package& package, std::string& why) {
    const TextCursor sectionStart = in;
    in.get();
    std::string header;
    in.readUntil(header, ']');
    if (in.failed() || in.atEnd() || header.find('\n') != std::string::npos) {
        why = at(path, sectionStart, "the section header has no \"]\" on its line");
        return false;
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
        why = in.atEnd() ? at(path, sectionStart, "the package section ends before its status line")
                         : at(path, in, "the status line does not begin with a number");
        return false;
    }
    skipThroughTab(in, 5);
    std::string status;
    readLine(in, status);
    // Only a lower-case first letter counts: "Active" is inactive.
    package.active = !status.empty() && status[0] == 'a';
    package.modified = true;
    return true;
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
bool readPackageItems(TextCursor& in, std::uint32_t version, const std::string& path,
                      Package& package, std::string& why) {
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
            return true;
        }
        // Dropping the line and reading on would write the catalogue back without it.
        if (!item->read(in, version)) {
            why = at(path, lineStart, "the item line has no readable identifier or is cut short");
            return false;
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

ResultCode CatalogBody::readBody(TextCursor& in, std::uint32_t version, const std::string& path,
                                 std::string& diagnostic) {
    if (version < kOldestVersion) {
        diagnostic = at(path, in,
                        "version " + std::to_string(version) + " is older than " +
                            std::to_string(kOldestVersion) + ", the oldest one read");
        return result::CatalogTooOld;
    }
    while (!in.failed() && isDigit(in.peek())) {
        const TextCursor lineStart = in;
        auto category = std::make_unique<Category>();
        if (!category->read(in, version)) {
            diagnostic = at(path, lineStart, "the category line's fields cannot be read");
            return result::CatalogBodyUnreadable;
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
        if (!readPackageHead(in, path, *package, diagnostic) ||
            !readPackageItems(in, version, path, *package, diagnostic)) {
            return result::CatalogBodyUnreadable;
        }
        packages.append(std::move(package));
    }
    return result::Success;
}

namespace {

// The "Version <n>" line. On failure diagnostic says why.
ResultCode readVersionLine(TextCursor& in, const std::string& path, std::uint32_t newest,
                           std::uint32_t& version, std::string& diagnostic) {
    const TextCursor fileStart = in;
    int first = in.peek();
    if (first == TextCursor::kEnd) {
        diagnostic = at(path, in, "the file is empty");
        return result::NotACatalog;
    }
    std::string word;
    if ((first != 'V' && first != 'v') || !in.readWord(word) || toLowerAscii(word) != "version") {
        diagnostic = at(path, fileStart, "the file does not begin with the word \"Version\"");
        return result::NotACatalog;
    }
    if (!in.readUInt32(version)) {
        diagnostic = at(path, in, "the version is not a number");
        return result::NotACatalog;
    }
    if (version > newest) {
        diagnostic =
            at(path, in,
               "version " + std::to_string(version) + " is newer than " + std::to_string(newest));
        return result::CatalogTooNew;
    }
    dropLine(in);
    return result::Success;
}

} // namespace

// The WELCOME, INIT, MODE and SEARCH lines up to the section line, which is
// dropped too.
ResultCode LibraryCatalog::readKeyLines(TextCursor& in) {
    while (true) {
        switch (in.peek()) {
        case TextCursor::kEnd:
            // Waiting for a "[" that never comes would read nothing more.
            diagnostic = at(openedPath.text(), in,
                            "the file ends before its section line (a line beginning with \"[\")");
            return result::NotACatalog;
        case '[':
            dropLine(in);
            return result::Success;
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

ResultCode LibraryCatalog::readCatalog(Platform& platform) {
    diagnostic.clear();
    FileBytes file;
    std::string error;
    if (!platform.readFile(catalogFileName, file, error)) {
        diagnostic = diagnosticAt(catalogFileName, "cannot read the file: " + error);
        return result::NotACatalog;
    }
    openedPath = file.resolvedPath;
    // The cursor refers to this text, so it lives until the read is over.
    DecodedText decoded = decodeText(std::move(file.bytes));
    lineEnding = decoded.lineEnding;
    TextCursor in(decoded.text);

    std::uint32_t version = 0;
    ResultCode code = readVersionLine(in, openedPath.text(), formatVersion, version, diagnostic);
    if (isSuccess(code) && version >= kOldestVersion) {
        code = readKeyLines(in);
    }
    if (!isSuccess(code)) {
        return code;
    }
    return body.readBody(in, version, openedPath.text(), diagnostic);
}

} // namespace quillora
