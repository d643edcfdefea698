// The registry calls, RegistryKey and the installation settings on a store file.
#include "catalog/LibraryCatalog.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixPlatform.h"
#include "platform/posix/Utf16Text.h"
#include "registry/InstallationSettings.h"
#include "registry/Registry.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace quillora {
namespace {

using testing::StoreKey;
using testing::TempLibrary;

constexpr const char* kProductKey = "Software\\Tolvane Works\\Quillora";
constexpr std::uint32_t kKeyRead = 0x20019;

class PosixRegistryTest : public ::testing::Test {
protected:
    PosixSettings settings() const {
        PosixSettings s;
        s.registryFile = library.path("registry.reg");
        return s;
    }
    void writeStore(const std::vector<StoreKey>& keys) { library.writeStore(keys); }
    void makeReadOnly() {
        fs::permissions(library.path("registry.reg"),
                        fs::perms::owner_read | fs::perms::group_read);
    }
    std::string store() const { return library.read("registry.reg"); }

    TempLibrary library;
};

struct Query {
    long status;
    std::string buffer;
};

Query query(RegistryKey& key, const char* name) {
    char buffer[260] = "untouched";
    std::uint32_t size = sizeof buffer;
    long status = key.queryString(name, buffer, &size);
    return {status, buffer};
}

TEST_F(PosixRegistryTest, RegistryKeyCasesOnTheStore) {
    library.write("registry.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\Tolvane Works\\Quillora]\r\n"
                                  "\"Home\"=\"/srv/lib\"\r\n"
                                  "\"Empty\"=\"\"\r\n"
                                  "\"NoData\"=hex:\r\n"
                                  "\"Number\"=dword:00000041\r\n"
                                  "\"Fits\"=\"" +
                                      std::string(259, 'x') + "\"\r\n" + "\"Long\"=\"" +
                                      std::string(260, 'x') + "\"\r\n");
    PosixPlatform platform(settings());
    RegKey raw = nullptr;
    EXPECT_EQ(platform.regOpenKeyEx(hkeyLocalMachine(), "\\Software", 0, kKeyRead, &raw), 161)
        << "the store takes no leading backslash, as Windows";

    RegistryKey key(platform, hkeyLocalMachine(), "\\Software\\Tolvane Works\\Quillora",
                    kKeyReadWrite, false);
    ASSERT_TRUE(key.isOpen());
    struct Case {
        const char* name;
        long status;
        std::string buffer;
    };
    const Case cases[] = {
        {"Home", 0, "/srv/lib"},
        {"HOME", 0, "/srv/lib"},
        {"Missing", 2, "untouched"},
        {"Empty", 0, ""},
        {"NoData", 0, "untouched"},
        {"Number", 0, "A"},
        {"Fits", 0, std::string(259, 'x')}, // with its NUL, exactly the buffer
        {"Long", 234, "untouched"},
    };
    for (const Case& c : cases) {
        Query q = query(key, c.name);
        EXPECT_EQ(q.status, c.status) << c.name;
        EXPECT_EQ(q.buffer, c.buffer) << c.name;
    }
    EXPECT_EQ(key.close(), kErrorSuccess);
    EXPECT_EQ(key.close(), -1);
}

TEST_F(PosixRegistryTest, CreatingAKeyAddsItToTheFileAtOnce) {
    const std::string before = testing::storeText({{"Software\\Other", {{"a", "b"}}}});
    library.write("registry.reg", before);
    PosixPlatform platform(settings());
    std::vector<FileOperation> operations;
    platform.setFaultHook([&operations](FileOperation operation) {
        operations.push_back(operation);
        return 0;
    });
    {
        RegistryKey key(platform, hkeyLocalMachine(), kProductKey, kKeyReadWrite, true);
        EXPECT_TRUE(key.isOpen());
        EXPECT_EQ(store(), before + "[HKEY_LOCAL_MACHINE\\" + kProductKey + "]\r\n\r\n");
        // The new store is on the disk before it takes the old one's place,
        // and the rename is on the disk before the call returns.
        const std::vector<FileOperation> rewrite = {FileOperation::Open, FileOperation::Write,
                                                    FileOperation::Flush, FileOperation::Sync,
                                                    FileOperation::Rename,
                                                    FileOperation::SyncFolder};
        EXPECT_EQ(operations, rewrite);
        EXPECT_EQ(query(key, "a").status, kErrorFileNotFound);
    }
    // Opening it again (by another platform, as the next run would) needs no create.
    PosixPlatform next(settings());
    RegistryKey key(next, hkeyLocalMachine(), "software\\tolvane works\\QUILLORA", kKeyReadWrite,
                    false);
    EXPECT_TRUE(key.isOpen());
    RegKey handle = nullptr;
    std::uint32_t disposition = 0;
    EXPECT_EQ(next.regCreateKeyEx(hkeyLocalMachine(), kProductKey, 0, "RegistryKey", 0,
                                  kKeyReadWrite, &handle, &disposition),
              kErrorSuccess);
    EXPECT_EQ(disposition, 2u) << "opened, not created";
    EXPECT_EQ(next.regCloseKey(handle), kErrorSuccess);
}

TEST_F(PosixRegistryTest, StoreBehindALinkIsWrittenThroughIt) {
    library.write("real/store.reg", testing::storeText({}));
    fs::create_symlink(library.path("real/store.reg"), library.path("registry.reg"));
    PosixPlatform platform(settings());
    RegistryKey key(platform, hkeyLocalMachine(), kProductKey, kKeyReadWrite, true);
    EXPECT_TRUE(key.isOpen());
    EXPECT_TRUE(fs::is_symlink(library.path("registry.reg")));
    EXPECT_NE(library.read("real/store.reg").find("Quillora]"), std::string::npos);
}

TEST_F(PosixRegistryTest, Utf16StoreIsWrittenBackAsUtf16) {
    const std::string text = testing::storeText({testing::productKey("/a", "/b", "")});
    library.write("registry.reg", std::string(kUtf16LeBom) + encodeUtf16Le(text));
    PosixPlatform platform(settings());
    RegistryKey key(platform, hkeyLocalMachine(), "Software\\Tolvane Works\\Other", kKeyReadWrite,
                    true);
    EXPECT_TRUE(key.isOpen());
    EXPECT_EQ(store(), std::string(kUtf16LeBom) +
                           encodeUtf16Le(text + "[HKEY_LOCAL_MACHINE\\Software\\Tolvane "
                                                "Works\\Other]\r\n\r\n"));
}

TEST_F(PosixRegistryTest, MissingStoreIsAnEmptyRegistry) {
    PosixPlatform platform(settings());
    RegistryKey opened(platform, hkeyLocalMachine(), kProductKey, kKeyReadWrite, false);
    EXPECT_FALSE(opened.isOpen());
    EXPECT_FALSE(library.exists("registry.reg"));
    RegistryKey created(platform, hkeyLocalMachine(), kProductKey, kKeyReadWrite, true);
    EXPECT_TRUE(created.isOpen());
    EXPECT_EQ(store(), "Windows Registry Editor Version 5.00\n\n"
                       "[HKEY_LOCAL_MACHINE\\Software\\Tolvane Works\\Quillora]\n\n");
}

TEST_F(PosixRegistryTest, StoreThatCannotBeWrittenDeniesWriteAccess) {
    writeStore({testing::productKey("/a", "/b", "/c")});
    makeReadOnly();
    const std::string before = store();
    PosixPlatform platform(settings());
    RegKey handle = nullptr;
    struct Case {
        const char* label;
        const char* path;
        std::uint32_t access;
        bool create;
        long status;
    };
    const Case cases[] = {
        {"open for writing", kProductKey, kKeyReadWrite, false, kErrorAccessDenied},
        {"create an existing key for writing", kProductKey, kKeyReadWrite, true,
         kErrorAccessDenied},
        {"create a missing key", "Software\\New", kKeyRead, true, kErrorAccessDenied},
        {"open a missing key", "Software\\New", kKeyReadWrite, false, kErrorFileNotFound},
        {"open for reading", kProductKey, kKeyRead, false, kErrorSuccess},
        {"create an existing key for reading", kProductKey, kKeyRead, true, kErrorSuccess},
    };
    for (const Case& c : cases) {
        long status = c.create
                          ? platform.regCreateKeyEx(hkeyLocalMachine(), c.path, 0, "", 0, c.access,
                                                    &handle, nullptr)
                          : platform.regOpenKeyEx(hkeyLocalMachine(), c.path, 0, c.access, &handle);
        EXPECT_EQ(status, c.status) << c.label;
        if (status == kErrorSuccess) {
            EXPECT_EQ(platform.regCloseKey(handle), kErrorSuccess);
        }
    }
    // The note says why the last open failed.
    EXPECT_EQ(platform.regOpenKeyEx(hkeyLocalMachine(), kProductKey, 0, kKeyReadWrite, &handle),
              kErrorAccessDenied);
    EXPECT_NE(platform.registryNote().find("read-only"), std::string::npos)
        << platform.registryNote();
    EXPECT_EQ(store(), before);
}

TEST_F(PosixRegistryTest, StoreInAMissingFolder) {
    PosixSettings s;
    s.registryFile = library.path("config/quillora/registry.reg");
    {
        PosixPlatform platform(s);
        RegistryKey key(platform, hkeyLocalMachine(), kProductKey, kKeyReadWrite, true);
        EXPECT_FALSE(key.isOpen()) << "a folder the user named is not invented";
        EXPECT_FALSE(library.exists("config"));
    }
    s.createRegistryFolder = true; // the default location
    PosixPlatform platform(s);
    RegistryKey key(platform, hkeyLocalMachine(), kProductKey, kKeyReadWrite, true);
    EXPECT_TRUE(key.isOpen());
    EXPECT_TRUE(library.exists("config/quillora/registry.reg"));
}

TEST_F(PosixRegistryTest, StoreThatIsNoExportOpensNoKey) {
    library.write("registry.reg", "HomeDirectory=/srv/lib\n");
    PosixPlatform platform(settings());
    RegKey handle = nullptr;
    EXPECT_EQ(platform.regOpenKeyEx(hkeyLocalMachine(), "", 0, kKeyRead, &handle), 1009);
    EXPECT_EQ(platform.regCreateKeyEx(hkeyLocalMachine(), kProductKey, 0, "", 0, kKeyReadWrite,
                                      &handle, nullptr),
              1009);
    EXPECT_NE(platform.registryNote().find("line 1"), std::string::npos) << platform.registryNote();
    EXPECT_EQ(store(), "HomeDirectory=/srv/lib\n");
}

TEST_F(PosixRegistryTest, ChangesToTheFileAreSeenByOpenKeys) {
    writeStore({testing::productKey("/old", "/old", "")});
    PosixPlatform platform(settings());
    RegistryKey key(platform, hkeyLocalMachine(), kProductKey, kKeyRead, false);
    EXPECT_EQ(query(key, testing::kStoreHomeValue).buffer, "/old");
    writeStore({testing::productKey("/new and longer", "/old", "")});
    EXPECT_EQ(query(key, testing::kStoreHomeValue).buffer, "/new and longer");
    writeStore({});
    EXPECT_EQ(query(key, testing::kStoreHomeValue).status, 1018) << "key deleted";
}

TEST_F(PosixRegistryTest, QueryValueLikeWin32) {
    writeStore({testing::productKey("/home", "/local", "")});
    PosixPlatform platform(settings());
    RegKey key = nullptr;
    ASSERT_EQ(platform.regOpenKeyEx(hkeyLocalMachine(), kProductKey, 0, kKeyRead, &key), 0);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    // Without a buffer: the size needed.
    EXPECT_EQ(platform.regQueryValueEx(key, testing::kStoreHomeValue, &type, nullptr, &size), 0);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, 1u);
    unsigned char small[3] = {'k', 'e', 'p'};
    size = sizeof small;
    EXPECT_EQ(platform.regQueryValueEx(key, testing::kStoreHomeValue, nullptr, small, &size), 234);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(small[0], 'k');
    // A subkey opened below an open key.
    RegKey child = nullptr;
    EXPECT_EQ(platform.regOpenKeyEx(key, "Missing", 0, kKeyRead, &child), 2);
    EXPECT_EQ(platform.regCloseKey(key), 0);
    EXPECT_EQ(platform.regCloseKey(key), 6);
    EXPECT_EQ(platform.regQueryValueEx(key, "x", nullptr, nullptr, &size), 6);
}

struct Settings {
    bool result;
    std::string home, local, cd, diagnostic;
};

Settings readSettings(PosixPlatform& platform) {
    LibraryCatalog catalog;
    catalog.homeDirectory = "/located";
    catalog.localDirectory = "/located";
    std::string error;
    auto resources = platform.openResourceLibrary("KIVRes", error);
    EXPECT_NE(resources, nullptr) << error;
    Settings s;
    s.result = readInstallationSettings(catalog, resources.get(), platform, s.diagnostic);
    s.home = catalog.homeDirectory;
    s.local = catalog.localDirectory;
    s.cd = catalog.cdDirectory;
    return s;
}

TEST_F(PosixRegistryTest, InstallationSettingsFromTheStore) {
    struct Case {
        const char* label;
        std::vector<StoreKey> keys;
        bool readOnly;
        Settings expected;
        bool keyInFileAfter = true;
    };
    auto cdromAtD = testing::driveTable({{"c:", "hd", "/"}, {"d:", "cdrom", "/media/cd"}});
    auto with = [](std::vector<StoreKey> keys, const StoreKey& key) {
        keys.push_back(key);
        return keys;
    };
    const Case cases[] = {
        {"all three", {testing::productKey("/h", "/l", "/c")}, false, {true, "/h", "/l", "/c", ""}},
        {"no CD value: the CD-ROM drive",
         with(cdromAtD, testing::productKey("/h", "/l", "")),
         false,
         {true, "/h", "/l", "d:", ""}},
        {"no local value",
         with(cdromAtD, testing::productKey("/h", "", "/c")),
         false,
         {false, "/h", "/located", "/c", "LocalDirectory"}},
        {"key missing: created, reads fail",
         cdromAtD,
         false,
         {false, "/located", "/located", "d:", "HomeDirectory"}},
        {"read-only store with the key: access denied",
         with(cdromAtD, testing::productKey("/h", "/l", "/c")),
         true,
         {true, "/located", "/located", "", "neither opened nor created"}},
        {"read-only store without the key",
         cdromAtD,
         true,
         {true, "/located", "/located", "", "read-only"},
         false},
    };
    for (const Case& c : cases) {
        TempLibrary scratch;
        scratch.writeStore(c.keys);
        if (c.readOnly) {
            fs::permissions(scratch.path("registry.reg"), fs::perms::owner_read);
        }
        PosixSettings s;
        s.registryFile = scratch.path("registry.reg");
        s.resourceFolders = {std::string(QUILLORA_SOURCE_DIR) + "/resources"};
        PosixPlatform platform(s);
        Settings got = readSettings(platform);
        EXPECT_EQ(got.result, c.expected.result) << c.label;
        EXPECT_EQ(got.home, c.expected.home) << c.label;
        EXPECT_EQ(got.local, c.expected.local) << c.label;
        EXPECT_EQ(got.cd, c.expected.cd) << c.label;
        EXPECT_NE(got.diagnostic.find(c.expected.diagnostic), std::string::npos)
            << c.label << ": " << got.diagnostic;
        if (!got.result) {
            EXPECT_NE(got.diagnostic.find(s.registryFile), std::string::npos) << got.diagnostic;
        }
        bool created = scratch.read("registry.reg")
                           .find("[HKEY_LOCAL_MACHINE\\Software\\Tolvane "
                                 "Works\\Quillora]") != std::string::npos;
        EXPECT_EQ(created, c.keyInFileAfter) << c.label;
    }
}

} // namespace
} // namespace quillora
