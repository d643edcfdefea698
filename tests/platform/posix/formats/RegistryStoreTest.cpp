#include "platform/posix/formats/RegistryStore.h"

#include "platform/posix/formats/Utf16Text.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return out;
}

// What a regedit export of a machine with the product installed looks like:
// other roots, parents without values, every kind of value line.
const std::string kExport = withCrLf(R"(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Tolvane Works\Quillora]
"HomeDirectory"="C:\\Per\\User"
"OnlyForTheUser"="x"

[HKEY_LOCAL_MACHINE\SOFTWARE\Tolvane Works]

[HKEY_LOCAL_MACHINE\SOFTWARE\Tolvane Works\Quillora]
@="Quillora library"
"HomeDirectory"="C:\\Program Files\\Quillora"
"LocalDirectory"="D:\\Data \"local\""
"Title"="Biblioth)"
                                     "\xC3\xA8"
                                     R"(que"
"Build"=dword:0000002a
"Blob"=hex:de,ad,be,ef
"Expanded"=hex(2):25,00,50,00,52,00,4f,00,47,00,52,00,41,00,4d,00,46,00,49,00,\
  4c,00,45,00,53,00,25,00,5c,00,51,00,00,00
"Nothing"=hex(0):
"Gone"="soon"
"Gone"=-
"Twice"="first"
; "Commented"="no"
"Twice"="second"

[-HKEY_LOCAL_MACHINE\SOFTWARE\Removed]
"Ghost"="boo"

[HKEY_LOCAL_MACHINE\SOFTWARE\Wine\Drives]
"d:"="cdrom"
)");

RegistryStore parsed(const std::string& bytes) {
    RegistryStore store;
    const Status read = store.parse(bytes);
    EXPECT_TRUE(read.ok()) << read.reason();
    return store;
}

TEST(RegistryStore, FindsValuesOfEveryKind) {
    struct Case {
        const char* key;
        const char* name;
        bool found;
        std::uint32_t type;
        std::string data;
    };
    using namespace std::string_literals;
    const Case cases[] = {
        {"Software\\Tolvane Works\\Quillora", "HomeDirectory", true, 1,
         "C:\\Program Files\\Quillora\0"s},
        {"software\\TOLVANE WORKS\\quillora\\", "homedirectory", true, 1,
         "C:\\Program Files\\Quillora\0"s},
        {"Software\\Tolvane Works\\Quillora", "LocalDirectory", true, 1, "D:\\Data \"local\"\0"s},
        {"Software\\Tolvane Works\\Quillora", "Title", true, 1, "Biblioth\xC3\xA8que\0"s},
        {"Software\\Tolvane Works\\Quillora", "", true, 1, "Quillora library\0"s},
        {"Software\\Tolvane Works\\Quillora", "Build", true, 4, "\x2a\0\0\0"s},
        {"Software\\Tolvane Works\\Quillora", "Blob", true, 3, "\xde\xad\xbe\xef"s},
        {"Software\\Tolvane Works\\Quillora", "Expanded", true, 2, "%PROGRAMFILES%\\Q\0"s},
        {"Software\\Tolvane Works\\Quillora", "Nothing", true, 0, ""},
        {"Software\\Tolvane Works\\Quillora", "Gone", false, 0, ""},
        {"Software\\Tolvane Works\\Quillora", "Twice", true, 1, "second\0"s},
        {"Software\\Tolvane Works\\Quillora", "Commented", false, 0, ""},
        {"Software\\Tolvane Works\\Quillora", "OnlyForTheUser", false, 0, ""},
        {"Software\\Removed", "Ghost", false, 0, ""},
        {"Software\\Tolvane Works", "HomeDirectory", false, 0, ""},
    };
    for (const std::string& bytes : {kExport, std::string(kUtf16LeBom) + encodeUtf16Le(kExport)}) {
        RegistryStore store = parsed(bytes);
        for (const Case& c : cases) {
            RegistryValue value;
            std::string label = std::string(c.key) + " " + c.name;
            ASSERT_EQ(store.findValue(c.key, c.name, value), c.found) << label;
            if (c.found) {
                EXPECT_EQ(value.type, c.type) << label;
                EXPECT_EQ(value.data, c.data) << label;
            }
        }
    }
}

TEST(RegistryStore, KeysExistWithTheirSectionOrBelowOne) {
    RegistryStore store = parsed(kExport);
    EXPECT_TRUE(store.hasKey(""));
    EXPECT_TRUE(store.hasKey("Software")); // only implied by its children
    EXPECT_TRUE(store.hasKey("software\\tolvane works"));
    EXPECT_TRUE(store.hasKey("SOFTWARE\\Wine\\Drives"));
    EXPECT_FALSE(store.hasKey("Software\\Tolvane")); // a prefix of a name is no parent
    EXPECT_FALSE(store.hasKey("Software\\Removed"));
    EXPECT_FALSE(store.hasKey("Software\\Tolvane Works\\Quillora\\Sub"));
}

TEST(RegistryStore, WritesBackUnchangedButForTheNewKey) {
    const std::string added = "\r\n[HKEY_LOCAL_MACHINE\\Software\\New Vendor\\New]\r\n\r\n";
    const std::string utf16 = std::string(kUtf16LeBom) + encodeUtf16Le(kExport);
    struct Case {
        const char* label;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"8-bit", kExport, kExport + added},
        {"UTF-16", utf16, utf16 + encodeUtf16Le(added)},
        {"8-bit with a UTF-8 mark", "\xEF\xBB\xBF" + kExport, "\xEF\xBB\xBF" + kExport + added},
    };
    for (const Case& c : cases) {
        RegistryStore store = parsed(c.bytes);
        EXPECT_EQ(store.serialize(), c.bytes) << c.label;
        store.addKey("Software\\New Vendor\\New");
        EXPECT_EQ(store.serialize(), c.expected) << c.label;
        EXPECT_TRUE(store.hasKey("software\\new vendor\\new")) << c.label;
        // And what was written reads back the same.
        RegistryStore again = parsed(store.serialize());
        RegistryValue value;
        EXPECT_TRUE(again.findValue("Software\\Tolvane Works\\Quillora", "Expanded", value));
        EXPECT_TRUE(again.hasKey("Software\\New Vendor\\New")) << c.label;
    }
}

TEST(RegistryStore, NewKeysFollowTheFilesEnds) {
    struct Case {
        const char* label;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"empty file", "", "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n\n"},
        {"LF ends, blank line at the end", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\B]\n\n",
         "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\B]\n\n[HKEY_LOCAL_MACHINE\\A]\n\n"},
        {"no newline at the end", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\B]\r\n\"x\"=\"y\"",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\B]\r\n\"x\"=\"y\"\r\n\r\n[HKEY_LOCAL_MACHINE\\A]"
         "\r\n\r\n"},
        {"only a header", "Windows Registry Editor Version 5.00",
         "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n\n"},
    };
    for (const Case& c : cases) {
        RegistryStore store = parsed(c.bytes);
        EXPECT_FALSE(store.hasKey("A")) << c.label;
        store.addKey("A");
        EXPECT_EQ(store.serialize(), c.expected) << c.label;
    }
}

TEST(RegistryStore, Version4KeepsStringDataInHexAsItIs) {
    RegistryStore store = parsed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\K]\n"
                                 "\"E\"=hex(2):41,42,00\n\"D\"=dword:FFFFFFFF\n");
    RegistryValue value;
    ASSERT_TRUE(store.findValue("K", "E", value));
    EXPECT_EQ(value.data, std::string("AB\0", 3));
    ASSERT_TRUE(store.findValue("K", "D", value));
    EXPECT_EQ(value.data, "\xFF\xFF\xFF\xFF");
}

TEST(RegistryStore, MalformedValueLinesAreNoValues) {
    RegistryStore store = parsed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\K]\n"
                                 "\"Open\"=\"no end\n"
                                 "\"Word\"=dword:123456789\n"
                                 "\"Hex\"=hex:1,zz\n"
                                 "\"Kind\"=hex(q):00\n"
                                 "\"Bare\"=word\n"
                                 "NoQuotes=\"x\"\n"
                                 "\"Good\"=\"yes\"\n");
    RegistryValue value;
    for (const char* name : {"Open", "Word", "Hex", "Kind", "Bare", "NoQuotes"}) {
        EXPECT_FALSE(store.findValue("K", name, value)) << name;
    }
    EXPECT_TRUE(store.findValue("K", "Good", value));
}

TEST(RegistryStore, OtherFilesAreRejected) {
    struct Case {
        const char* label;
        std::string bytes;
        const char* error;
    };
    const Case cases[] = {
        {"text", "[HKEY_LOCAL_MACHINE\\K]\n", "line 1"},
        {"blank first line", "\nREGEDIT4\n", "line 1"},
        {"odd UTF-16", std::string(kUtf16LeBom) + "R", "odd"},
        {"UTF-16 of something else", std::string(kUtf16LeBom) + encodeUtf16Le("hello"), "line 1"},
    };
    for (const Case& c : cases) {
        RegistryStore store;
        const Status read = store.parse(c.bytes);
        EXPECT_FALSE(read.ok()) << c.label;
        const std::string& error = read.reason();
        EXPECT_NE(error.find(c.error), std::string::npos) << c.label << ": " << error;
    }
}

TEST(RegistryStore, StringValuesInFileOrder) {
    RegistryStore store = parsed(kExport);
    auto values = store.stringValues("software\\wine\\drives");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].first, "d:");
    EXPECT_EQ(values[0].second, "cdrom");
    EXPECT_TRUE(store.stringValues("Software\\Nowhere").empty());
}

} // namespace
} // namespace quillora
