#include "registry/Registry.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillora {
namespace {

constexpr const char* kKeyPath = "Software\\Tolvane Works\\Quillora";

struct Query {
    long status;
    std::string buffer;
    std::uint32_t size;
};

// Queries name into a 260-byte buffer that holds "untouched" beforehand.
Query query(RegistryKey& key, const char* name) {
    char buffer[260] = "untouched";
    std::uint32_t size = sizeof buffer;
    long status = key.queryString(name, buffer, &size);
    return {status, buffer, size};
}

class RegistryKeyTest : public ::testing::Test {
protected:
    RegistryKeyTest() {
        auto& values = platform.productKey();
        values["Home"] = std::string("C:\\Library") + '\0';
        values["Empty"] = std::string(1, '\0');
        values["NoData"] = "";
        values["Long"] = std::string(259, 'x') + '\0';
        values["TooLong"] = std::string(260, 'x') + '\0';
    }
    testing::FakePlatform platform;
};

TEST_F(RegistryKeyTest, LeadingBackslashOpensTheSameKey) {
    // The platform itself does not take the backslash...
    Expected<std::unique_ptr<OpenKey>> opened =
        platform.openKey("\\Software\\Tolvane Works\\Quillora", false);
    EXPECT_FALSE(opened.ok());
    EXPECT_EQ(opened.status().failure(), Failure::BadPath);
    // ...the wrapper skips it.
    for (const char* path : {kKeyPath, "\\Software\\Tolvane Works\\Quillora"}) {
        RegistryKey key(platform, path, false);
        ASSERT_TRUE(key.isOpen()) << path;
        Query q = query(key, "Home");
        EXPECT_EQ(q.status, kErrorSuccess) << path;
        EXPECT_EQ(q.buffer, "C:\\Library") << path;
    }
}

TEST_F(RegistryKeyTest, QueryResults) {
    struct Case {
        const char* name;
        long status;
        const char* buffer;
        std::uint32_t size;
    };
    const Case cases[] = {
        {"Home", kErrorSuccess, "C:\\Library", 11},
        {"Missing", kErrorFileNotFound, "untouched", 260},
        {"Empty", kErrorSuccess, "", 1},
        {"NoData", kErrorSuccess, "untouched", 0},
        {"Long", kErrorSuccess, nullptr, 260},
        {"TooLong", kErrorMoreData, "untouched", 261},
    };
    RegistryKey key(platform, kKeyPath, false);
    ASSERT_TRUE(key.isOpen());
    for (const Case& c : cases) {
        Query q = query(key, c.name);
        EXPECT_EQ(q.status, c.status) << c.name;
        EXPECT_EQ(q.buffer, c.buffer != nullptr ? c.buffer : std::string(259, 'x')) << c.name;
        if (c.status != kErrorFileNotFound) { // the size is not defined then
            EXPECT_EQ(q.size, c.size) << c.name;
        }
    }
}

TEST(RegistryKey, AFullValueWithoutItsNulStaysInsideTheBuffer) {
    testing::FakePlatform platform;
    // Windows hands a string value stored without its NUL back as it is.
    platform.productKey()["Full"] = std::string(259, 'x') + "y"; // 260 bytes, no NUL
    RegistryKey key(platform, kKeyPath, false);
    ASSERT_TRUE(key.isOpen());
    char buffer[261];
    std::memset(buffer, '#', sizeof buffer);
    std::uint32_t size = 260; // the caller's room ends before the last byte
    ASSERT_EQ(key.queryString("Full", buffer, &size), kErrorSuccess);
    EXPECT_EQ(buffer[260], '#') << "written past the 260 bytes the caller gave";
    EXPECT_EQ(std::string(buffer, 260), std::string(259, 'x') + '\0');
}

TEST_F(RegistryKeyTest, CloseTwiceAndDestruction) {
    {
        RegistryKey key(platform, kKeyPath, false);
        EXPECT_EQ(platform.openKeyCount(), 1u);
        EXPECT_EQ(key.close(), kErrorSuccess);
        EXPECT_EQ(key.isOpen(), 0);
        EXPECT_EQ(key.close(), -1);
        EXPECT_EQ(platform.openKeyCount(), 0u);
    }
    {
        RegistryKey key(platform, kKeyPath, false);
        // Opening again while a key is held closes the old one first.
        EXPECT_EQ(key.open(kKeyPath, false), kErrorSuccess);
        EXPECT_EQ(platform.openKeyCount(), 1u);
    }
    EXPECT_EQ(platform.openKeyCount(), 0u); // the destructor closed it
}

TEST_F(RegistryKeyTest, CreateMakesAMissingKeyWithNoValues) {
    const char* path = "Software\\Tolvane Works\\Other";
    RegistryKey opened(platform, path, false);
    EXPECT_EQ(opened.isOpen(), 0);
    EXPECT_EQ(platform.registry.count("software\\tolvane works\\other"), 0u);

    RegistryKey created(platform, path, true);
    EXPECT_EQ(created.isOpen(), 1);
    ASSERT_EQ(platform.registry.count("software\\tolvane works\\other"), 1u);
    EXPECT_TRUE(platform.registry["software\\tolvane works\\other"].empty());
    EXPECT_EQ(query(created, "Home").status, kErrorFileNotFound);
}

TEST_F(RegistryKeyTest, FailedOpenHoldsNoKey) {
    RegistryKey key(platform, kKeyPath, false);
    ASSERT_EQ(key.isOpen(), 1);
    platform.registryDenied = true;
    EXPECT_EQ(key.open(kKeyPath, true), kErrorAccessDenied);
    EXPECT_EQ(key.isOpen(), 0);
    EXPECT_EQ(platform.openKeyCount(), 0u);
    EXPECT_EQ(key.close(), -1);
    // A key that cannot be found reports so, and leaves no key either.
    platform.registryDenied = false;
    ASSERT_EQ(key.open(kKeyPath, false), kErrorSuccess);
    EXPECT_EQ(key.open("Software\\Nowhere", false), kErrorFileNotFound);
    EXPECT_EQ(key.isOpen(), 0);
    EXPECT_EQ(platform.openKeyCount(), 0u);
}

TEST_F(RegistryKeyTest, QueryWithoutAKeyIsAProgrammingError) {
    RegistryKey key(platform, "Software\\Nowhere", false);
    ASSERT_EQ(key.isOpen(), 0);
    char buffer[260] = "untouched";
    std::uint32_t size = sizeof buffer;
#ifdef NDEBUG
    // Without assertions the call reports that no key is held.
    EXPECT_EQ(key.queryString("Home", buffer, &size), -1);
    EXPECT_STREQ(buffer, "untouched");
#else
    EXPECT_DEATH(key.queryString("Home", buffer, &size), "hRegKey != NULL");
#endif
}

} // namespace
} // namespace quillora
