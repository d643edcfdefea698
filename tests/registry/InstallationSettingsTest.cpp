#include "registry/InstallationSettings.h"

#include "catalog/LibraryCatalog.h"
#include "registry/Registry.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <optional>

namespace quillora {
namespace {

using testing::kCdValueName;
using testing::kHomeValueName;
using testing::kLocalValueName;

constexpr const char* kLocated = "C:\\Program"; // what the program's location gave

struct Outcome {
    bool result;
    std::string home;
    std::string local;
    std::string cd;
    std::string diagnostic;
};

Outcome readWith(testing::FakePlatform& platform, bool withResources = true) {
    LibraryCatalog catalog;
    catalog.homeDirectory = kLocated;
    catalog.localDirectory = kLocated;
    std::unique_ptr<ResourceLibrary> resources =
        withResources ? std::move(*platform.openResourceLibrary("KIVRes")) : nullptr;
    const SettingsOutcome read = readInstallationSettings(catalog, resources.get(), platform);
    Outcome o;
    o.result = read.runGoesOn;
    o.diagnostic = read.note;
    o.home = catalog.homeDirectory;
    o.local = catalog.localDirectory;
    o.cd = catalog.cdDirectory;
    EXPECT_EQ(platform.openKeyCount(), 0u) << "the key must be closed";
    return o;
}

TEST(InstallationSettings, ValuesPresentOrMissing) {
    using Value = std::optional<std::string>;
    struct Case {
        const char* label;
        Value home, local, cd;
        std::map<char, DriveType> drives;
        Outcome expected;
    };
    const Value none;
    const Case cases[] = {
        {"all three", "C:\\Lib", "D:\\Local", "E:", {}, {true, "C:\\Lib", "D:\\Local", "E:", ""}},
        {"no CD value, CD-ROM at d",
         "C:\\Lib",
         "C:\\Lib",
         none,
         {{'c', DriveType::Fixed}, {'d', DriveType::CdRom}},
         {true, "C:\\Lib", "C:\\Lib", "d:", ""}},
        {"no CD value, no CD-ROM",
         "C:\\Lib",
         "C:\\Lib",
         none,
         {},
         {true, "C:\\Lib", "C:\\Lib", "", ""}},
        {"no local value: the others are still read",
         "C:\\Lib",
         none,
         "E:",
         {},
         {false, "C:\\Lib", kLocated, "E:", "LocalDir"}},
        {"no home value",
         none,
         "D:\\Local",
         none,
         {{'f', DriveType::CdRom}},
         {false, kLocated, "D:\\Local", "f:", "HomeDir"}},
        {"empty values are read as empty texts",
         std::string(1, '\0'),
         std::string(1, '\0'),
         std::string(1, '\0'),
         {{'d', DriveType::CdRom}},
         {true, "", "", "", ""}},
        {"values with no data read as empty texts", "", "", "", {}, {true, "", "", "", ""}},
    };
    for (const Case& c : cases) {
        testing::FakePlatform platform;
        platform.drives = c.drives;
        auto& key = platform.productKey();
        const std::pair<const char*, const Value*> values[] = {
            {kHomeValueName, &c.home}, {kLocalValueName, &c.local}, {kCdValueName, &c.cd}};
        for (const auto& [name, value] : values) {
            if (*value) {
                key[name] = **value;
            }
        }
        Outcome o = readWith(platform);
        EXPECT_EQ(o.result, c.expected.result) << c.label;
        EXPECT_EQ(o.home, c.expected.home) << c.label;
        EXPECT_EQ(o.local, c.expected.local) << c.label;
        EXPECT_EQ(o.cd, c.expected.cd) << c.label;
        if (c.expected.result) {
            EXPECT_EQ(o.diagnostic, "") << c.label;
        } else {
            EXPECT_NE(o.diagnostic.find(c.expected.diagnostic), std::string::npos) << o.diagnostic;
            EXPECT_NE(o.diagnostic.find("Software\\Tolvane Works\\Quillora"), std::string::npos)
                << o.diagnostic;
        }
    }
}

TEST(InstallationSettings, MissingKeyIsCreatedEmptyAndTheReadFails) {
    testing::FakePlatform platform;
    platform.drives = {{'d', DriveType::CdRom}};
    Outcome o = readWith(platform);
    EXPECT_FALSE(o.result);
    ASSERT_EQ(platform.registry.count("software\\tolvane works\\quillora"), 1u);
    EXPECT_TRUE(platform.productKey().empty());
    EXPECT_EQ(o.home, kLocated);
    EXPECT_EQ(o.local, kLocated);
    EXPECT_EQ(o.cd, "d:");
    EXPECT_NE(o.diagnostic.find("home directory"), std::string::npos) << o.diagnostic;
    EXPECT_NE(o.diagnostic.find("local directory"), std::string::npos) << o.diagnostic;
}

TEST(InstallationSettings, KeyThatCannotBeOpenedLetsTheRunGoOn) {
    testing::FakePlatform platform;
    platform.setInstallation("C:\\Lib", "C:\\Lib", "E:");
    platform.drives = {{'d', DriveType::CdRom}};
    platform.registryDenied = true;
    Outcome o = readWith(platform);
    EXPECT_TRUE(o.result);
    EXPECT_EQ(o.home, kLocated);
    EXPECT_EQ(o.local, kLocated);
    EXPECT_EQ(o.cd, ""); // no drive scan either
    EXPECT_NE(o.diagnostic.find("neither opened nor created"), std::string::npos) << o.diagnostic;
}

TEST(InstallationSettings, ValueNamesComeFromTheResourceLibrary) {
    testing::FakePlatform platform;
    platform.productKey() = {{"H2", "C:\\H"}, {"L2", "C:\\L"}, {"C2", "X:"}};
    platform.resources = {
        {kHomeValueNameId, "H2"}, {kLocalValueNameId, "L2"}, {kCdValueNameId, "C2"}};
    Outcome o = readWith(platform);
    EXPECT_TRUE(o.result);
    EXPECT_EQ(o.home + "|" + o.local + "|" + o.cd, "C:\\H|C:\\L|X:");
}

TEST(InstallationSettings, MissingNamesCountAsUnreadableValues) {
    struct Case {
        const char* label;
        bool libraryOpen;
        std::vector<unsigned> names;
        bool result;
        const char* diagnostic;
    };
    const Case cases[] = {
        {"no library", false, {}, false, "KIVRes is not open"},
        {"no CD name: drive scan", true, {kHomeValueNameId, kLocalValueNameId}, true, ""},
        {"no home name", true, {kLocalValueNameId, kCdValueNameId}, false, "10248"},
        {"no local name", true, {kHomeValueNameId, kCdValueNameId}, false, "10254"},
    };
    for (const Case& c : cases) {
        testing::FakePlatform platform;
        platform.setInstallation("C:\\Lib", "C:\\Lib", "E:");
        platform.drives = {{'g', DriveType::CdRom}};
        std::map<unsigned, std::string> kept;
        for (unsigned id : c.names) {
            kept[id] = platform.resources[id];
        }
        platform.resources = kept;
        Outcome o = readWith(platform, c.libraryOpen);
        EXPECT_EQ(o.result, c.result) << c.label;
        EXPECT_NE(o.diagnostic.find(c.diagnostic), std::string::npos) << o.diagnostic;
        if (c.libraryOpen && c.result) {
            EXPECT_EQ(o.cd, "g:") << c.label;
        }
    }
}

TEST(InstallationSettings, StaleDiagnosticIsCleared) {
    testing::FakePlatform platform;
    platform.setInstallation("C:\\Lib", "C:\\Lib", "E:");
    LibraryCatalog catalog;
    auto resources = platform.openResourceLibrary("KIVRes");
    // A read that had something to say leaves nothing for the next one.
    platform.registryDenied = true;
    EXPECT_NE(readInstallationSettings(catalog, resources->get(), platform).note, "");
    platform.registryDenied = false;
    const SettingsOutcome read = readInstallationSettings(catalog, resources->get(), platform);
    EXPECT_TRUE(read.runGoesOn);
    EXPECT_EQ(read.note, "");
}

} // namespace
} // namespace quillora
