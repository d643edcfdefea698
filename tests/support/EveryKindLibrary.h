// A library file holding every record kind, nested in groups, written as a
// file of any version 3 to 9 holds it, or as the version-9 file that loading
// and saving such a file gives.
#pragma once

#include "support/RecordLines.h"

#include <cstdint>
#include <string>

namespace quillora::testing {

namespace everykind {

inline Record book(const std::string& id) {
    BookFields b;
    b.id = id;
    b.aux = "4";
    b.directory = "3";
    b.name = "Book" + id;
    b.texts = {"t2", "t3", "t4", "t5", "t6", "t7"};
    b.typeBits = "32";
    b.oldTypeCode = "2";
    b.levelCode = "2";
    b.extraFlag = "1";
    b.displayKind = "1";
    b.active = "-1";
    b.hasLValue = "1";
    b.maintain = "0";
    b.hasExtraText = "1";
    b.extraText = "extra " + id;
    Record r = bookRecord(b);
    r.after = "L\t7\n";
    return r;
}

inline Record group(const std::string& id) {
    GroupFields g;
    g.id = id;
    g.aux = "4";
    g.name = "Group" + id;
    g.texts = {"t2", "t3", "t4"};
    g.typeBits = "128";
    g.oldTypeCode = "1";
    g.levelCode = "1";
    g.active = "0";
    return groupRecord(g);
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
