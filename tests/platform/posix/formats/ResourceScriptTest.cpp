#include "platform/posix/formats/ResourceScript.h"

#include "platform/posix/formats/Utf16Text.h"
#include "registry/InstallationSettings.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace quillora {
namespace {

std::string stringOf(const ResourceScript& library, unsigned id) {
    std::string text = "(none)";
    library.loadString(id, text);
    return text;
}

TEST(ResourceScript, TheProductsScriptNamesTheThreeValues) {
    std::ifstream in(std::string(QUILLORA_SOURCE_DIR) + "/resources/KIVRes.rc", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    ResourceScript script;
    const Status read = script.parse(bytes.str());
    ASSERT_TRUE(read.ok()) << read.reason();
    EXPECT_EQ(stringOf(script, kHomeValueNameId), testing::kStoreHomeValue);
    EXPECT_EQ(stringOf(script, kLocalValueNameId), testing::kStoreLocalValue);
    EXPECT_EQ(stringOf(script, kCdValueNameId), testing::kStoreCdValue);
}

TEST(ResourceScript, ScriptForms) {
    const std::string script = R"(// comment with STRINGTABLE BEGIN 1 "no" END
#include "resource.h"
#define IDS_X 5
1 ICON "app.ico"
/* STRINGTABLE
   BEGIN 2 "no" END */
STRINGTABLE LANGUAGE 0x09, 0x01 DISCARDABLE
BEGIN
    10248 "Home"
    10254, "Quote "" and \"escapes\" \\ \t."
    0x2818 L"Wide"
END
stringtable {
    7 "Braces"
    8 ""
    65535 "Last"
}
)";
    struct Case {
        unsigned id;
        const char* text;
    };
    const Case cases[] = {{10248, "Home"}, {10254, "Quote \" and \"escapes\" \\ \t."},
                          {10264, "Wide"}, {7, "Braces"},
                          {8, ""},         {1, "(none)"},
                          {2, "(none)"},   {5, "(none)"},
                          {65535, "Last"}};
    for (const std::string& bytes :
         {script, std::string(kUtf16LeBom) + encodeUtf16Le(script), "\xEF\xBB\xBF" + script}) {
        ResourceScript library;
        const Status read = library.parse(bytes);
        ASSERT_TRUE(read.ok()) << read.reason();
        for (const Case& c : cases) {
            EXPECT_EQ(stringOf(library, c.id), c.text) << c.id;
        }
    }
}

TEST(ResourceScript, BrokenScriptsSayWhere) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"STRINGTABLE\nBEGIN\n1 \"a\"\n", "line 1: STRINGTABLE without END"},
        {"STRINGTABLE\n", "line 1: STRINGTABLE without BEGIN"},
        {"STRINGTABLE\nBEGIN\nIDS_HOME \"a\"\nEND\n", "line 3: expected a string identifier"},
        {"STRINGTABLE\nBEGIN\n65536 \"a\"\nEND\n", "line 3: expected a string identifier"},
        {"STRINGTABLE\nBEGIN\n1\n\"a\nEND\n", "line 4: string without its closing quote"},
        {"STRINGTABLE\nBEGIN\n1 2 \"a\"\nEND\n", "line 3: expected the string of identifier 1"},
        {"STRINGTABLE\nBEGIN\n1 \"a\"\n1 \"b\"\nEND\n", "line 4: string identifier 1 twice"},
        {"/* open\n", "line 1: comment without its end"},
    };
    for (const Case& c : cases) {
        ResourceScript library;
        const Status read = library.parse(c.script);
        EXPECT_FALSE(read.ok()) << c.script;
        const std::string& error = read.reason();
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

} // namespace
} // namespace quillora
