#include "catalog/LibraryCatalog.h"
#include "platform/windows/WindowsPlatform.h"
#include "registry/InstallationSettings.h"
#include "registry/Registry.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

namespace quillora {
namespace {

// Every test works in a key of its own under HKEY_LOCAL_MACHINE, removed afterwards.
class WindowsRegistry : public ::testing::Test {
protected:
    WindowsRegistry()
        : keyPath_(std::string("Software\\Quillora Tests\\") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                   std::to_string(GetCurrentProcessId())) {}
    ~WindowsRegistry() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, keyPath_.c_str()); }

    // Sets a value straight through Win32, the way an installer would.
    void setValue(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void setString(const char* name, const std::string& text) {
        setValue(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    bool keyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    WindowsPlatform platform_;
    const std::string keyPath_;
};

TEST_F(WindowsRegistry, MissingKeyIsCreatedOnlyWhenAskedFor) {
    RegistryKey opened(platform_, keyPath_.c_str(), false);
    EXPECT_FALSE(opened.isOpen());
    EXPECT_FALSE(keyExists());

    RegistryKey created(platform_, keyPath_.c_str(), true);
    EXPECT_TRUE(created.isOpen());
    EXPECT_TRUE(keyExists());
    DWORD values = 99;
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, KEY_READ, &raw),
              ERROR_SUCCESS);
    EXPECT_EQ(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(raw);
    EXPECT_EQ(values, 0u);
}

TEST_F(WindowsRegistry, OpenReturnsTheSystemStatus) {
    RegistryKey key(platform_, keyPath_.c_str(), false);
    EXPECT_EQ(key.open(keyPath_.c_str(), false), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.open(keyPath_.c_str(), true), ERROR_SUCCESS);
    // Opening again while a key is held closes the old one first.
    EXPECT_EQ(key.open(keyPath_.c_str(), false), ERROR_SUCCESS);
    EXPECT_TRUE(key.isOpen());
}

TEST_F(WindowsRegistry, LeadingBackslashNamesTheSameKey) {
    setString("Home", "C:\\Library");
    RegistryKey key(platform_, ("\\" + keyPath_).c_str(), false);
    ASSERT_TRUE(key.isOpen());
    char buffer[260] = "";
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(key.queryString("Home", buffer, &size), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "C:\\Library");
    EXPECT_EQ(size, sizeof "C:\\Library");
}

TEST_F(WindowsRegistry, QueryStringLeavesTheBufferAloneUnlessTextCameBack) {
    const std::string longText(300, 'x');
    const BYTE noData = 0;
    setString("Empty", "");
    setValue("NoData", REG_BINARY, &noData, 0);
    setString("TooLong", longText);
    setValue("Expandable", REG_EXPAND_SZ, "%HOME%\\x", sizeof "%HOME%\\x");

    RegistryKey key(platform_, keyPath_.c_str(), false);
    ASSERT_TRUE(key.isOpen());
    struct Case {
        const char* name;
        long status;
        const char* text;
    };
    const Case cases[] = {
        {"Missing", ERROR_FILE_NOT_FOUND, "untouched"},
        {"Empty", ERROR_SUCCESS, ""},
        {"NoData", ERROR_SUCCESS, "untouched"},
        {"TooLong", ERROR_MORE_DATA, "untouched"},
        // The value's type is not looked at.
        {"Expandable", ERROR_SUCCESS, "%HOME%\\x"},
    };
    for (const Case& c : cases) {
        char buffer[260] = "untouched";
        std::uint32_t size = sizeof buffer;
        EXPECT_EQ(key.queryString(c.name, buffer, &size), c.status) << c.name;
        EXPECT_STREQ(buffer, c.text) << c.name;
    }
}

TEST_F(WindowsRegistry, SecondCloseHasNoKeyToClose) {
    RegistryKey key(platform_, keyPath_.c_str(), true);
    ASSERT_TRUE(key.isOpen());
    EXPECT_EQ(key.close(), ERROR_SUCCESS);
    EXPECT_FALSE(key.isOpen());
    EXPECT_EQ(key.close(), -1);
}

// The value names come from the real resource library beside the tests.
class WindowsInstallationSettings : public WindowsRegistry {
protected:
    void SetUp() override {
        Expected<std::unique_ptr<ResourceLibrary>> opened = platform_.openResourceLibrary("KIVRes");
        ASSERT_TRUE(opened.ok()) << opened.status().reason();
        resources_ = std::move(*opened);
        ASSERT_TRUE(resources_->loadString(kHomeValueNameId, homeName_));
        ASSERT_TRUE(resources_->loadString(kLocalValueNameId, localName_));
        ASSERT_TRUE(resources_->loadString(kCdValueNameId, cdName_));
        catalog_.registryKeyPath = keyPath_;
    }
    bool read() {
        return readInstallationSettings(catalog_, resources_.get(), platform_).runGoesOn;
    }

    std::unique_ptr<ResourceLibrary> resources_;
    std::string homeName_;
    std::string localName_;
    std::string cdName_;
    LibraryCatalog catalog_;
};

TEST_F(WindowsInstallationSettings, ReadsTheThreeDirectories) {
    setString(homeName_.c_str(), "C:\\Quillora");
    setString(localName_.c_str(), "D:\\Local");
    setString(cdName_.c_str(), "R:");
    EXPECT_TRUE(read());
    EXPECT_EQ(catalog_.homeDirectory, "C:\\Quillora");
    EXPECT_EQ(catalog_.localDirectory, "D:\\Local");
    EXPECT_EQ(catalog_.cdDirectory, "R:");
}

TEST_F(WindowsInstallationSettings, MissingLocalDirectoryFails) {
    setString(homeName_.c_str(), "C:\\Quillora");
    setString(cdName_.c_str(), "R:");
    EXPECT_FALSE(read());
    EXPECT_EQ(catalog_.homeDirectory, "C:\\Quillora");
    EXPECT_EQ(catalog_.cdDirectory, "R:");
}

TEST_F(WindowsInstallationSettings, MissingKeyIsCreatedEmptyAndFails) {
    catalog_.homeDirectory = "C:\\Program";
    EXPECT_FALSE(read());
    EXPECT_TRUE(keyExists());
    EXPECT_EQ(catalog_.homeDirectory, "C:\\Program");
}

} // namespace
} // namespace quillora
