// A library file holding every record kind, nested in groups, written as a
// file of any version 3 to 9 holds it, or as the version-9 file that loading
// and saving such a file gives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillora::testing {

namespace everykind {

// One field of a record line, listed in version-9 order.
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
    std::string lineEnd; // after the last field
    std::string after;   // lines that follow the record's own
};

// The record as a file of the given version holds it or, when upgraded, as the
// version-9 line that loading such a file and saving it gives.
inline std::string render(const Record& record, std::int32_t version, bool upgraded) {
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

inline Record book(const std::string& id) {
    return {'B',
            {{id, kTab},
             {"4", kTab, 5, "0"},
             {"3", kTab},
             {"Book" + id, kBar},
             {"t2", kBar},
             {"t3", kBar},
             {"t4", kBar, 6, ""},
             {"t5", kBar},
             {"t6", kBar},
             {"t7", kBar, 4, ""},
             {"32", kTab, 3, "", "2"},
             {"2", kTab, 9, "0"},
             {"1", kTab, 9, "0"},
             {"1", kTab},
             {"-1", kTab},
             {"1", kTab},
             {"0", kTab},
             {"1", kTab},
             {"extra " + id, kBar}},
            "\n",
            "L\t7\n"};
}

inline Record group(const std::string& id) {
    return {'G',
            {{id, kTab},
             {"4", kTab, 5, "0"},
             {"Group" + id, kBar},
             {"t2", kBar},
             {"t3", kBar},
             {"t4", kBar, 6, ""},
             {"128", kTab, 3, "", "1"},
             {"1", kTab, 9, "0"},
             {"0", ""}},
            "\n",
            ""};
}

inline Record program(const std::string& id) {
    return {'P',
            {{id, kTab},
             {"4", kTab, 5, "0"},
             {"3", kTab},
             {"Program" + id, kBar},
             {"t8", kBar, 8, ""},
             {"t2", kBar},
             {"t3", kBar},
             {"t4", kBar, 6, ""},
             {"t5", kBar},
             {"t6", kBar},
             {"t7", kBar, 4, ""},
             {"64", kTab, 3, "", "3"},
             {"2", kTab, 9, "0"},
             {"1", kTab, 9, "0"},
             {"-1", kTab},
             {"0", kTab}},
            "\n",
            ""};
}

// X and Y: one layout in every version, type bits never mapped.
inline Record extract(char tag, const std::string& id) {
    Record r{tag, {{id, kTab}, {"4", kTab}, {"3", kTab}, {"Extract" + id, kBar}}, "\n", ""};
    if (tag == 'X') {
        r.fields.push_back({"t8", kBar});
    }
    for (const char* text : {"t2", "t3", "t4", "t5", "t6", "t7"}) {
        r.fields.push_back({text, kBar});
    }
    for (const char* number : {"1", "1", "1", "2", "-1", "0"}) {
        r.fields.push_back({number, kTab});
    }
    return r;
}

} // namespace everykind

// An outer group holding one of each kind and an inner group with one of each
// kind, then a book at the top level: 11 entries, ids 1 to 11.
inline std::string everyKindLibrary(std::int32_t version, bool upgraded) {
    using namespace everykind;
    std::string body = render(group("1"), version, upgraded);
    int id = 2;
    for (int depth = 0; depth < 2; ++depth) {
        body += render(book(std::to_string(id++)), version, upgraded);
        body += render(program(std::to_string(id++)), version, upgraded);
        body += render(extract('X', std::to_string(id++)), version, upgraded);
        body += render(extract('Y', std::to_string(id++)), version, upgraded);
        if (depth == 0) {
            body += render(group(std::to_string(id++)), version, upgraded);
        }
    }
    body += "E\nE\n" + render(book(std::to_string(id)), version, upgraded);
    return "zobooksdatafile " + std::to_string(upgraded ? 9 : version) + "\n" + body;
}

} // namespace quillora::testing
