// The one builder of book data record lines for the tests: a record is its
// fields in version-9 order, each with the first version whose files hold it,
// rendered as a file of any version holds it or as the version-9 line that
// loading and saving such a file gives.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quillora::testing {

// One field of a record line.
struct Field {
    std::string value;
    std::string end;          // what follows it: a tab, a bar, or nothing at the line's end
    std::int32_t since = 3;   // the first version whose files hold it
    std::string absent = {};  // what the version-9 line holds when the file lacks it
    std::string oldCode = {}; // what files before version 7 hold instead (type codes)
};

struct Record {
    char tag;
    std::vector<Field> fields;
    std::string lineEnd = "\n"; // after the last field
    std::string after = {};     // lines that follow the record's own
};

inline std::string render(const Record& record, std::int32_t version = 9, bool upgraded = false) {
    std::string line(1, record.tag);
    line += '\t';
    for (const Field& f : record.fields) {
        if (version >= f.since) {
            line += (version < 7 && !upgraded && !f.oldCode.empty()) ? f.oldCode : f.value;
        } else if (upgraded) {
            line += f.absent;
        } else {
            continue;
        }
        line += f.end;
    }
    return line + record.lineEnd + record.after;
}

inline const char* const kTab = "\t";
inline const char* const kBar = "|";

// A book's fields by name; what is not set is a plain book in the top level's
// first directory.
struct BookFields {
    std::string id = "1";
    std::string aux = "0";
    std::string directory = "1";
    std::string name = "Book";
    std::array<std::string, 6> texts = {}; // texts 2 to 7
    std::string typeBits = "16";
    std::string oldTypeCode = "0";
    std::string levelCode = "0";
    std::string extraFlag = "0";
    std::string displayKind = "0";
    std::string active = "-1";
    std::string hasLValue = "0";
    std::string maintain = "1";
    std::string hasExtraText = "0";
    std::string extraText = {};
};

inline Record bookRecord(const BookFields& b) {
    const auto& t = b.texts;
    return {'B',
            {{b.id, kTab},
             {b.aux, kTab, 5, "0"},
             {b.directory, kTab},
             {b.name, kBar},
             {t[0], kBar},
             {t[1], kBar},
             {t[2], kBar, 6, ""},
             {t[3], kBar},
             {t[4], kBar},
             {t[5], kBar, 4, ""},
             {b.typeBits, kTab, 3, "", b.oldTypeCode},
             {b.levelCode, kTab, 9, "0"},
             {b.extraFlag, kTab, 9, "0"},
             {b.displayKind, kTab},
             {b.active, kTab},
             {b.hasLValue, kTab},
             {b.maintain, kTab},
             {b.hasExtraText, kTab},
             {b.extraText, b.hasExtraText == "1" ? kBar : ""}}};
}

inline std::string bookLine(const BookFields& b, std::int32_t version = 9) {
    return render(bookRecord(b), version);
}

// A group's fields by name, as for a book.
struct GroupFields {
    std::string id = "1";
    std::string aux = "0";
    std::string name = "Group";
    std::array<std::string, 3> texts = {}; // texts 2 to 4
    std::string typeBits = "16";
    std::string oldTypeCode = "0";
    std::string levelCode = "0";
    std::string active = "-1";
};

inline Record groupRecord(const GroupFields& g) {
    const auto& t = g.texts;
    return {'G',
            {{g.id, kTab},
             {g.aux, kTab, 5, "0"},
             {g.name, kBar},
             {t[0], kBar},
             {t[1], kBar},
             {t[2], kBar, 6, ""},
             {g.typeBits, kTab, 3, "", g.oldTypeCode},
             {g.levelCode, kTab, 9, "0"},
             {g.active, ""}}};
}

inline std::string groupLine(const GroupFields& g, std::int32_t version = 9) {
    return render(groupRecord(g), version);
}

} // namespace quillora::testing
