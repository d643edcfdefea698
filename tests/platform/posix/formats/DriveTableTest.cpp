#include "platform/posix/formats/DriveTable.h"

#include "platform/posix/formats/RegistryStore.h"
#include "support/ProcessRun.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

DriveTable tableOf(const std::vector<testing::StoreKey>& keys) {
    RegistryStore store;
    const Status read = store.parse(testing::storeText(keys));
    EXPECT_TRUE(read.ok()) << read.reason();
    return DriveTable(store);
}

TEST(DriveTable, TypesAndFolders) {
    DriveTable table = tableOf(testing::driveTable({{"c:", "hd", "/"},
                                                    {"D:", "CDROM", "/media/cdrom"},
                                                    {"e:", "network", ""},
                                                    {"f:", "floppy", ""},
                                                    {"g:", "ramdisk", ""},
                                                    {"h:", "tape", ""},
                                                    {"i:", "", "/srv/data"},
                                                    {"jj:", "cdrom", ""},
                                                    {"k", "cdrom", ""}}));
    struct Case {
        const char* root;
        DriveType type;
    };
    const Case cases[] = {
        {"c:\\", DriveType::Fixed},     {"d:\\", DriveType::CdRom},
        {"D:\\", DriveType::CdRom},     {"d:", DriveType::CdRom},
        {"d:/", DriveType::CdRom},      {"e:\\", DriveType::Remote},
        {"f:\\", DriveType::Removable}, {"g:\\", DriveType::RamDisk},
        {"h:\\", DriveType::Unknown},   {"i:\\", DriveType::Fixed},
        {"j:\\", DriveType::NoRootDir}, {"k:\\", DriveType::NoRootDir},
        {"z:\\", DriveType::NoRootDir}, {"d:\\x", DriveType::NoRootDir},
        {"", DriveType::NoRootDir},     {"1:\\", DriveType::NoRootDir},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table.type(c.root), c.type) << c.root;
    }
    EXPECT_EQ(table.directory('d'), "/media/cdrom");
    EXPECT_EQ(table.directory('D'), "/media/cdrom");
    EXPECT_EQ(table.directory('i'), "/srv/data");
    EXPECT_EQ(table.directory('e'), "");
    EXPECT_EQ(DriveTable().type("c:\\"), DriveType::NoRootDir);
}

} // namespace
} // namespace quillora
