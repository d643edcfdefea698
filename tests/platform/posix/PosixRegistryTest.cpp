// The registry calls, RegistryKey and the installation settings on a store file.
#include "catalog/LibraryCatalog.h"
#include "platform/PreviewFiles.h"
#include "platform/posix/OtherUser.h"
#include "platform/posix/PosixPlatform.h"
#include "platform/posix/SystemCallLog.h"
#include "platform/posix/formats/Utf16Text.h"
#include "product/CdDrive.h"
#include "registry/InstallationSettings.h"
#include "registry/Registry.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace quillora {
namespace {

using testing::FileOperation;
using testing::StoreKey;
using testing::TempLibrary;

constexpr const char* kProductKey = "Software\\Tolvane Works\\Quillora";

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
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
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
    RegistryKey key(platform, "\\\\Software", false);
    EXPECT_EQ(key.isOpen(), 0) << "the store takes no leading backslash, as Windows";
    EXPECT_EQ(key.open("\\\\Software", false), kErrorBadPathname);

    EXPECT_EQ(key.open("\\Software\\Tolvane Works\\Quillora", false), kErrorSuccess);
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
    testing::SystemCallLog calls;
    const std::vector<FileOperation>& operations = calls.operations();
    {
        RegistryKey key(platform, kProductKey, true);
        EXPECT_TRUE(key.isOpen());
        EXPECT_EQ(store(), before + "[HKEY_LOCAL_MACHINE\\" + kProductKey + "]\r\n\r\n");
        // The new store is on the disk before it takes the old one's place,
        // and the rename is on the disk before the call returns.
        const std::vector<FileOperation> rewrite = {
            FileOperation::Open, FileOperation::Write,  FileOperation::Flush,
            FileOperation::Sync, FileOperation::Rename, FileOperation::SyncFolder};
        EXPECT_EQ(operations, rewrite);
        EXPECT_EQ(query(key, "a").status, kErrorFileNotFound);
    }
    // Opening it again (by another platform, as the next run would) needs no create,
    // and creating it again leaves the file alone.
    PosixPlatform next(settings());
    RegistryKey key(next, "software\\tolvane works\\QUILLORA", false);
    EXPECT_TRUE(key.isOpen());
    calls.clear();
    EXPECT_EQ(key.open(kProductKey, true), kErrorSuccess);
    EXPECT_EQ(operations, std::vector<FileOperation>()) << "opened, not created";
}

TEST_F(PosixRegistryTest, StoreBehindALinkIsWrittenThroughIt) {
    library.write("real/store.reg", testing::storeText({}));
    fs::create_symlink(library.path("real/store.reg"), library.path("registry.reg"));
    PosixPlatform platform(settings());
    RegistryKey key(platform, kProductKey, true);
    EXPECT_TRUE(key.isOpen());
    EXPECT_TRUE(fs::is_symlink(library.path("registry.reg")));
    EXPECT_NE(library.read("real/store.reg").find("Quillora]"), std::string::npos);
}

// As root, nothing another user owns or can change steers the store.
TEST(PosixRegistryTrust, StoreThatAnotherUserCanSteerIsNotUsed) {
    testing::OtherUser user;
    SKIP_WITHOUT_OTHER_USER(user);
    const std::string kept = testing::storeText({});
    struct Case {
        const char* label;
        const char* store; // the store as named
        std::function<void(TempLibrary&)> plant;
        const char* reason;
    };
    auto ownedByUser = [&user](const std::string& path) {
        ASSERT_EQ(::lchown(path.c_str(), user.uid(), user.gid()), 0) << path;
    };
    const Case cases[] = {
        {"the store is a link of the user's", "registry.reg",
         [&](TempLibrary& t) {
             fs::create_symlink(t.path("real/store.reg"), t.path("registry.reg"));
             ownedByUser(t.path("registry.reg"));
         },
         "is a link of user"},
        {"a folder on the way is a link of the user's", "via/store.reg",
         [&](TempLibrary& t) {
             fs::create_symlink(t.path("real"), t.path("via"));
             ownedByUser(t.path("via"));
         },
         "is a link of user"},
        {"the store is the user's", "real/store.reg",
         [&](TempLibrary& t) { ownedByUser(t.path("real/store.reg")); }, "belongs to user"},
        {"the store's folder is the user's", "real/store.reg",
         [&](TempLibrary& t) { ownedByUser(t.path("real")); }, "belongs to user"},
        {"others can write the store", "real/store.reg",
         [](TempLibrary& t) {
             fs::permissions(t.path("real/store.reg"), fs::perms::group_write,
                             fs::perm_options::add);
         },
         "can be written by other users"},
        {"others can write a folder above it", "real/store.reg",
         [](TempLibrary& t) {
             fs::permissions(t.path("real"), fs::perms::others_write, fs::perm_options::add);
         },
         "can be written by other users"},
    };
    for (const Case& c : cases) {
        TempLibrary t;
        t.write("real/store.reg", kept);
        c.plant(t);
        PosixSettings s;
        s.registryFile = t.path(c.store);
        PosixPlatform platform(s);
        auto key = RegistryKey::hold(platform, kProductKey, true);
        EXPECT_FALSE(key.ok()) << c.label;
        EXPECT_EQ(key.status().failure(), Failure::Misconfigured) << c.label;
        EXPECT_NE(key.status().reason().find(c.reason), std::string::npos)
            << c.label << ": " << key.status().reason();
        EXPECT_EQ(t.read("real/store.reg"), kept) << c.label;
    }
}

TEST_F(PosixRegistryTest, Utf16StoreIsWrittenBackAsUtf16) {
    const std::string text = testing::storeText({testing::productKey("/a", "/b", "")});
    library.write("registry.reg", std::string(kUtf16LeBom) + encodeUtf16Le(text));
    PosixPlatform platform(settings());
    RegistryKey key(platform, "Software\\Tolvane Works\\Other", true);
    EXPECT_TRUE(key.isOpen());
    EXPECT_EQ(store(), std::string(kUtf16LeBom) +
                           encodeUtf16Le(text + "[HKEY_LOCAL_MACHINE\\Software\\Tolvane "
                                                "Works\\Other]\r\n\r\n"));
}

TEST_F(PosixRegistryTest, MissingStoreIsAnEmptyRegistry) {
    PosixPlatform platform(settings());
    RegistryKey opened(platform, kProductKey, false);
    EXPECT_FALSE(opened.isOpen());
    EXPECT_FALSE(library.exists("registry.reg"));
    RegistryKey created(platform, kProductKey, true);
    EXPECT_TRUE(created.isOpen());
    EXPECT_EQ(store(), "Windows Registry Editor Version 5.00\n\n"
                       "[HKEY_LOCAL_MACHINE\\Software\\Tolvane Works\\Quillora]\n\n");
}

TEST_F(PosixRegistryTest, StoreThatCannotBeWrittenDeniesWriteAccess) {
    testing::OtherUser user;
    SKIP_WITHOUT_OTHER_USER(user);
    writeStore({testing::productKey("/a", "/b", "/c")});
    makeReadOnly();
    const std::string before = store();
    // A user the system does not let write the file: a key that is there is
    // read, one that is not cannot be made.
    EXPECT_EQ(user.run([this] {
        PosixPlatform platform(settings());
        struct Case {
            const char* label;
            const char* path;
            bool create;
            Failure status;
        };
        const Case cases[] = {
            {"open an existing key", kProductKey, false, Failure::None},
            {"create an existing key", kProductKey, true, Failure::None},
            {"create a missing key", "Software\\New", true, Failure::AccessDenied},
            {"open a missing key", "Software\\New", false, Failure::NotFound},
        };
        for (const Case& c : cases) {
            auto key = platform.openKey(c.path, c.create);
            EXPECT_EQ(key.ok(), c.status == Failure::None) << c.label;
            EXPECT_EQ(key.status().failure(), c.status) << c.label;
        }
        // The failure says why the open failed.
        auto key = RegistryKey::hold(platform, "Software\\New", true);
        EXPECT_FALSE(key.ok());
        EXPECT_NE(key.status().reason().find("Permission denied"), std::string::npos)
            << key.status().reason();
        return ::testing::Test::HasFailure() ? 1 : 0;
    }),
              0);
    EXPECT_EQ(store(), before);
}

TEST_F(PosixRegistryTest, StoreInAMissingFolder) {
    PosixSettings s;
    s.registryFile = library.path("config/quillora/registry.reg");
    {
        PosixPlatform platform(s);
        auto key = RegistryKey::hold(platform, kProductKey, true);
        EXPECT_FALSE(key.ok()) << "a folder the user named is not invented";
        EXPECT_EQ(key.status().failure(), Failure::Misconfigured)
            << "a mistake, not a lack of rights";
        EXPECT_FALSE(library.exists("config"));
    }
    s.createRegistryFolder = true; // the default location
    PosixPlatform platform(s);
    RegistryKey key(platform, kProductKey, true);
    EXPECT_TRUE(key.isOpen());
    EXPECT_TRUE(library.exists("config/quillora/registry.reg"));
}

TEST_F(PosixRegistryTest, StoreThatIsNoExportOpensNoKey) {
    library.write("registry.reg", "HomeDirectory=/srv/lib\n");
    PosixPlatform platform(settings());
    RegistryKey key(platform, "", false);
    EXPECT_EQ(key.isOpen(), 0);
    EXPECT_EQ(key.open(kProductKey, true), kErrorBadConfiguration);
    auto held = RegistryKey::hold(platform, kProductKey, true);
    EXPECT_NE(held.status().reason().find("line 1"), std::string::npos) << held.status().reason();
    EXPECT_EQ(store(), "HomeDirectory=/srv/lib\n");
}

TEST_F(PosixRegistryTest, ChangesToTheFileAreSeenByOpenKeys) {
    writeStore({testing::productKey("/old", "/old", "")});
    PosixPlatform platform(settings());
    RegistryKey key(platform, kProductKey, false);
    EXPECT_EQ(query(key, testing::kStoreHomeValue).buffer, "/old");
    writeStore({testing::productKey("/new and longer", "/old", "")});
    EXPECT_EQ(query(key, testing::kStoreHomeValue).buffer, "/new and longer");
    writeStore({});
    EXPECT_EQ(query(key, testing::kStoreHomeValue).status, 1018) << "key deleted";
}

struct Settings {
    bool result;
    std::string home, local, cd, diagnostic;
};

Settings readSettings(Installation& installation) {
    LibraryCatalog catalog;
    catalog.homeDirectory = "/located";
    catalog.localDirectory = "/located";
    auto resources = installation.openResourceLibrary("KIVRes");
    EXPECT_TRUE(resources.ok()) << resources.status().reason();
    const SettingsOutcome read =
        readInstallationSettings(catalog, resources ? resources->get() : nullptr, installation);
    Settings s;
    s.result = read.runGoesOn;
    s.diagnostic = read.note;
    s.home = catalog.homeDirectory;
    s.local = catalog.localDirectory;
    s.cd = catalog.cdDirectory;
    return s;
}

TEST_F(PosixRegistryTest, InstallationSettingsFromTheStore) {
    enum Store { Writable, ReadOnly, NotAnExport, InAMissingFolder, ThePackagedExample };
    struct Case {
        const char* label;
        std::vector<StoreKey> keys;
        Store store;
        bool asOtherUser; // a user the system does not let write a read-only file
        Settings expected;
        bool keyInFileAfter = true;
    };
    auto cdromAtD = testing::driveTable({{"c:", "hd", "/"}, {"d:", "cdrom", "/media/cd"}});
    auto with = [](std::vector<StoreKey> keys, const StoreKey& key) {
        keys.push_back(key);
        return keys;
    };
    const bool root = ::geteuid() == 0;
    const Case cases[] = {
        {"all three",
         {testing::productKey("/h", "/l", "/c")},
         Writable,
         false,
         {true, "/h", "/l", "/c", ""}},
        {"no CD value: the CD-ROM drive",
         with(cdromAtD, testing::productKey("/h", "/l", "")),
         Writable,
         false,
         {true, "/h", "/l", "d:", ""}},
        {"no local value",
         with(cdromAtD, testing::productKey("/h", "", "/c")),
         Writable,
         false,
         {false, "/h", "/located", "/c", "LocalDirectory"}},
        {"key missing: created, reads fail",
         cdromAtD,
         Writable,
         false,
         {false, "/located", "/located", "d:", "HomeDirectory"}},
        {"read-only store with the key: its values",
         with(cdromAtD, testing::productKey("/h", "/l", "/c")),
         ReadOnly,
         true,
         {true, "/h", "/l", "/c", ""}},
        {"read-only store without the key: no rights, the run goes on",
         cdromAtD,
         ReadOnly,
         true,
         {true, "/located", "/located", "", "Permission denied"},
         false},
        {"a 0444 store for root, who may write it: the key is made",
         cdromAtD,
         ReadOnly,
         false,
         {!root, "/located", "/located", root ? "d:" : "", root ? "HomeDirectory" : "Permission"},
         root},
        {"the example the package ships beside the machine's store",
         {},
         ThePackagedExample,
         false,
         {true, "C:\\Quillora", "C:\\Users\\Public\\Quillora", "d:", ""}},
        {"not a regedit export: stops the run",
         {},
         NotAnExport,
         false,
         {false, "/located", "/located", "", "line 1"},
         false},
        {"QUILLORA_REGISTRY in a folder that does not exist: stops the run",
         {},
         InAMissingFolder,
         false,
         {false, "/located", "/located", "", "does not exist"},
         false},
    };
    testing::OtherUser user;
    for (const Case& c : cases) {
        if (c.asOtherUser && !user.made()) {
            std::cout << "skipped: " << c.label << " (needs root to make another user)\n";
            continue;
        }
        TempLibrary scratch;
        scratch.writeStore(c.keys);
        if (c.store == ReadOnly) {
            fs::permissions(scratch.path("registry.reg"),
                            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        } else if (c.store == NotAnExport) {
            scratch.write("registry.reg", "HomeDirectory=/h\n");
        } else if (c.store == ThePackagedExample) {
            fs::copy_file(std::string(QUILLORA_SOURCE_DIR) + "/docs/registry.reg.example",
                          scratch.path("registry.reg"), fs::copy_options::overwrite_existing);
        }
        const std::string before = scratch.read("registry.reg");
        PosixSettings s;
        s.registryFile =
            scratch.path(c.store == InAMissingFolder ? "typo/registry.reg" : "registry.reg");
        s.resourceFolders = {std::string(QUILLORA_SOURCE_DIR) + "/resources"};
        // A dry run first: the same settings as the run, and the store untouched.
        auto check = [&] {
            for (const bool dryRun : {true, false}) {
                const std::string label = c.label + std::string(dryRun ? " (dry run)" : "");
                PosixPlatform platform(s);
                PreviewFiles preview(platform, "Quillora.commit");
                Settings got = readSettings(dryRun ? preview.installation() : platform);
                EXPECT_EQ(got.result, c.expected.result) << label;
                EXPECT_EQ(got.home, c.expected.home) << label;
                EXPECT_EQ(got.local, c.expected.local) << label;
                EXPECT_EQ(got.cd, c.expected.cd) << label;
                EXPECT_NE(got.diagnostic.find(c.expected.diagnostic), std::string::npos)
                    << label << ": " << got.diagnostic;
                if (!got.result) {
                    EXPECT_NE(got.diagnostic.find(s.registryFile), std::string::npos)
                        << got.diagnostic;
                }
                if (dryRun) {
                    EXPECT_EQ(scratch.read("registry.reg"), before) << label;
                }
            }
            return ::testing::Test::HasFailure() ? 1 : 0;
        };
        if (c.asOtherUser) {
            EXPECT_EQ(user.run(check), 0) << c.label;
        } else {
            check();
        }
        bool created = scratch.read("registry.reg")
                           .find("[HKEY_LOCAL_MACHINE\\Software\\Tolvane "
                                 "Works\\Quillora]") != std::string::npos;
        EXPECT_EQ(created, c.keyInFileAfter) << c.label;
        if (!c.keyInFileAfter) {
            EXPECT_EQ(scratch.read("registry.reg"), before) << c.label;
        }
        EXPECT_FALSE(scratch.exists("typo")) << c.label;
    }
}

TEST(DriveTable, FindCdDriveThroughTheStore) {
    struct Case {
        std::vector<testing::Drive> drives;
        const char* expected;
    };
    const Case cases[] = {
        {{{"c:", "hd", "/"}, {"e:", "cdrom", ""}, {"f:", "cdrom", ""}}, "e:"},
        {{{"z:", "cdrom", ""}}, ""},
        {{}, ""},
    };
    for (const Case& c : cases) {
        testing::TempLibrary library;
        library.writeStore(testing::driveTable(c.drives));
        PosixSettings settings;
        settings.registryFile = library.path("registry.reg");
        PosixPlatform platform(settings);
        EXPECT_EQ(findCdDrive(platform), c.expected);
    }
}

TEST(DriveTable, StoreThatCannotBeReadHasNoDrives) {
    testing::TempLibrary library;
    library.write("registry.reg", "not a registry\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"
                                  "\"d:\"=\"cdrom\"\n");
    PosixSettings settings;
    settings.registryFile = library.path("registry.reg");
    PosixPlatform platform(settings);
    EXPECT_EQ(platform.driveType("d:\\"), DriveType::NoRootDir);
}

} // namespace
} // namespace quillora
