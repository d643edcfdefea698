#include "catalog/Package.h"
#include "catalog/DirectoryItem.h"
#include "catalog/MarkedItem.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(Package, NewPackageDefaults) {
    Package p;
    EXPECT_EQ(p.name, "None");
    EXPECT_TRUE(p.active);
    EXPECT_EQ(p.highItemId, 100);
    EXPECT_FALSE(p.modified);
    EXPECT_FALSE(p.bookData.loaded);
    EXPECT_EQ(p.bookData.formatVersion, 9);
    EXPECT_EQ(p.bookData.maxEntryId, 1);
}

TEST(Package, AllocateDirectoryIdCountsUpFromHighItemId) {
    Package p;
    EXPECT_EQ(p.allocateDirectoryId(), 101);
    EXPECT_EQ(p.allocateDirectoryId(), 102);
    EXPECT_TRUE(p.modified);
    p.highItemId = 150;
    EXPECT_EQ(p.allocateDirectoryId(), 151);
}

TEST(Package, EverySetterMarksModifiedEvenWithTheSameValue) {
    using Setter = void (Package::*)(const std::string&);
    const Setter setters[] = {&Package::setName, &Package::setQualifier,
                              &Package::setDataFileLocation, &Package::setSecondPath};
    for (Setter setter : setters) {
        Package p;
        (p.*setter)("same");
        p.modified = false;
        (p.*setter)("same");
        EXPECT_TRUE(p.modified);
    }
}

TEST(Package, FindItemReturnsTheFirstWithThatId) {
    Package p;
    auto first = std::make_unique<DirectoryItem>();
    first->id = 5;
    first->path = "first";
    auto marked = std::make_unique<MarkedItem>();
    marked->id = 7;
    auto second = std::make_unique<DirectoryItem>();
    second->id = 5;
    second->path = "second";
    p.items.append(std::move(first));
    p.items.append(std::move(marked));
    p.items.append(std::move(second));
    auto* found = p.findItem(5);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(static_cast<DirectoryItem*>(found)->path, "first");
    EXPECT_EQ(p.findItem(7)->kind, 'A');
    EXPECT_EQ(p.findItem(8), nullptr);
    EXPECT_TRUE(p.hasItem(7));
    EXPECT_FALSE(p.hasItem(-1));
}

} // namespace
} // namespace quillora
