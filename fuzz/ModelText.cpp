#include "ModelText.h"
#include "bookdata/BookDataFile.h"

#include "bookdata/BookEntry.h"
#include "bookdata/ExtractGroupEntry.h"
#include "bookdata/ExtractSingleEntry.h"
#include "bookdata/GroupEntry.h"
#include "bookdata/ProgramEntry.h"
#include "catalog/DirectoryItem.h"
#include "catalog/LibraryCatalog.h"
#include "catalog/MarkedItem.h"

#include <cstdint>
#include <sstream>
#include <string_view>
#include <unordered_map>

namespace quillora::fuzz {

namespace {

// Strings with their length first, so no text can pass for two fields.
class Line {
public:
    explicit Line(std::ostringstream& out) : out_(out) {}
    ~Line() { out_ << '\n'; }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    Line& operator()(const char* name, std::string_view value) {
        out_ << ' ' << name << '=' << value.size() << ':' << value;
        return *this;
    }
    Line& operator()(const char* name, std::int64_t value) {
        out_ << ' ' << name << '=' << value;
        return *this;
    }

private:
    std::ostringstream& out_;
};

const char* endingName(LineEnding ending) {
    return ending == LineEnding::CrLf ? "crlf" : "lf";
}

void describeCommon(Line& line, const LibraryEntry& e) {
    line("id", e.id)("name", e.text(TextField::name))("text2", e.text(TextField::text2))(
        "text3", e.text(TextField::text3))("text4", e.text(TextField::text4));
    line("active", e.active)("maintain", e.maintain)("level", e.levelCode);
    line("aux", e.auxNumber)("type", e.typeBits);
}

void describeExtract(Line& line, const ExtractEntry& e) {
    line("dir", e.directoryId)("display", e.displayKind)("text5", e.text(TextField::text5))(
        "text6", e.text(TextField::text6));
    line("text7", e.text(TextField::text7))("extraFlag", e.extraFlag);
}

} // namespace

std::string modelText(const LibraryCatalog& catalog) {
    std::ostringstream out;
    Line{out}("ending", endingName(catalog.lineEnding));
    Line{out}("welcome", catalog.hasWelcome)("text", catalog.welcome);
    Line{out}("init", catalog.hasInit)("text", catalog.init);
    Line{out}("mode", catalog.hasMode)("text", catalog.mode);
    for (const SearchEntry* s : catalog.searches) {
        Line{out}("search", s->text1)("text2", s->text2)("flag", s->flag);
    }
    for (const Category* c : catalog.body.categories) {
        Line{out}("category", c->number)("type", c->typeBits)("name", c->name)("text2", c->text2)(
            "v1", c->value1)("v2", c->value2)("v3", c->value3);
    }
    for (const Package* p : catalog.body.packages) {
        // The format cannot carry a package without a name: the writer leaves
        // an empty line in its place.
        if (p->name.empty()) {
            continue;
        }
        Line{out}("package", p->name)("qualifier", p->qualifier)("data", p->dataFileLocation)(
            "second", p->secondPath)("number", p->number)("active", p->active)("high",
                                                                               p->highItemId);
        for (const PackageItem* item : p->items) {
            Line line(out);
            line("item", std::string(1, item->kind))("id", item->id);
            if (item->kind == DirectoryItem::kKind) {
                line("path", static_cast<const DirectoryItem*>(item)->path);
            } else if (item->kind == MarkedItem::kKind) {
                const auto* marked = static_cast<const MarkedItem*>(item);
                line("mark", marked->mark)("text", marked->text);
            }
        }
    }
    return out.str();
}

std::string modelText(const BookDataFile& package) {
    std::unordered_map<const LibraryEntry*, std::int64_t> position;
    for (std::size_t i = 0; i < package.allEntries.count(); ++i) {
        position.emplace(package.allEntries.at(i), static_cast<std::int64_t>(i));
    }
    // -1 for none, -2 for an entry that allEntries does not hold.
    auto at = [&](const LibraryEntry* entry) -> std::int64_t {
        if (entry == nullptr) {
            return -1;
        }
        auto it = position.find(entry);
        return it == position.end() ? -2 : it->second;
    };

    std::ostringstream out;
    Line{out}("ending", endingName(package.lineEnding))("maxId", package.maxEntryId);
    {
        Line roots(out);
        for (const LibraryEntry* entry : package.rootEntries) {
            roots("root", at(entry));
        }
    }
    for (const LibraryEntry* e : package.allEntries) {
        Line line(out);
        line("kind", static_cast<std::int64_t>(e->kind))("parent", at(e->parent));
        describeCommon(line, *e);
        switch (e->kind) {
        case EntryKind::Book: {
            const auto& b = static_cast<const BookEntry&>(*e);
            line("dir", b.directoryId)("display", b.displayKind)("text5", b.text(TextField::text5))(
                "text6", b.text(TextField::text6));
            line("text7", b.text(TextField::text7))("extraFlag", b.extraFlag);
            // Read again, the L line's number decides the flag: a flag set
            // without an L line (the number stays -1) is written with "L -1"
            // and comes back cleared. No number is written without the flag.
            const bool hasL = b.hasLValue != 0 && b.lValue > 0;
            line("hasL", hasL);
            if (hasL) {
                line("l", b.lValue);
            }
            line("hasExtra", b.hasExtraText)("extra", b.text(TextField::extraText));
            break;
        }
        case EntryKind::Group:
            for (const LibraryEntry* child : static_cast<const GroupEntry&>(*e).children) {
                line("member", at(child));
            }
            break;
        case EntryKind::Program: {
            const auto& p = static_cast<const ProgramEntry&>(*e);
            line("dir", p.directoryId)("text5", p.text(TextField::text5))(
                "text6", p.text(TextField::text6))("text7", p.text(TextField::text7));
            line("text8", p.text(TextField::text8))("extraFlag", p.extraFlag);
            break;
        }
        case EntryKind::ExtractSingle:
            describeExtract(line, static_cast<const ExtractSingleEntry&>(*e));
            line("text8", e->text(TextField::text8));
            break;
        case EntryKind::ExtractGroup:
            describeExtract(line, static_cast<const ExtractGroupEntry&>(*e));
            break;
        case EntryKind::None:
            break;
        }
    }
    return out.str();
}

} // namespace quillora::fuzz
