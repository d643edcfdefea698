#include "bookdata/RefList.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillora {
namespace {

struct Tracked {
    explicit Tracked(int v, int* destroyed = nullptr) : value(v), destroyedCount(destroyed) {}
    ~Tracked() {
        if (destroyedCount != nullptr) {
            ++*destroyedCount;
        }
    }
    int value;
    int* destroyedCount;
};

std::vector<int> walk(const ReferringList<Tracked>& list) {
    std::vector<int> values;
    std::size_t cursor = 0;
    for (Tracked* t = list.first(cursor); t != nullptr; t = list.next(cursor)) {
        values.push_back(t->value);
    }
    return values;
}

TEST(RefList, EmptyListWalkEndsAtOnce) {
    ReferringList<Tracked> list;
    std::size_t cursor = 7;
    EXPECT_EQ(list.first(cursor), nullptr);
    EXPECT_EQ(list.next(cursor), nullptr);
    EXPECT_EQ(list.room(), 5u);
}

TEST(RefList, GrowsByTenWhenRoomIsNotGreaterThanCountPlusOne) {
    std::vector<std::unique_ptr<Tracked>> store;
    ReferringList<Tracked> list;
    const std::size_t expectedRoom[] = {5, 5, 5, 5, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 25};
    for (int i = 0; i < 15; ++i) {
        store.push_back(std::make_unique<Tracked>(i));
        list.append(store.back().get());
        EXPECT_EQ(list.room(), expectedRoom[i]) << "after append " << i + 1;
    }
    EXPECT_EQ(walk(list), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
}

TEST(RefList, NullAppendIsIgnored) {
    ReferringList<Tracked> list;
    list.append(nullptr);
    EXPECT_EQ(list.count(), 0u);
    OwningList<Tracked> owning;
    owning.append(nullptr);
    EXPECT_EQ(owning.count(), 0u);
}

TEST(RefList, SeparateCursorsDoNotDisturbEachOther) {
    Tracked a(1), b(2), c(3);
    ReferringList<Tracked> list;
    list.append(&a);
    list.append(&b);
    list.append(&c);
    std::size_t outer = 0;
    std::vector<std::pair<int, int>> pairs;
    for (Tracked* x = list.first(outer); x != nullptr; x = list.next(outer)) {
        std::size_t inner = 0;
        for (Tracked* y = list.first(inner); y != nullptr; y = list.next(inner)) {
            pairs.emplace_back(x->value, y->value);
        }
    }
    EXPECT_EQ(pairs.size(), 9u);
    EXPECT_EQ(pairs.front(), std::make_pair(1, 1));
    EXPECT_EQ(pairs.back(), std::make_pair(3, 3));
}

TEST(RefList, OwningRemoveAllDestroysReferringOnlyForgets) {
    int destroyed = 0;
    {
        OwningList<Tracked> owning;
        owning.append(std::make_unique<Tracked>(1, &destroyed));
        owning.append(std::make_unique<Tracked>(2, &destroyed));
        owning.removeAll();
        EXPECT_EQ(destroyed, 2);
        EXPECT_EQ(owning.count(), 0u);
        EXPECT_EQ(owning.room(), 0u);
        owning.append(std::make_unique<Tracked>(3, &destroyed));
        EXPECT_EQ(owning.room(), 10u);
        EXPECT_EQ(owning.count(), 1u);
    }
    EXPECT_EQ(destroyed, 3); // the list's destruction destroys what it still owns

    destroyed = 0;
    Tracked kept(4, &destroyed);
    ReferringList<Tracked> referring;
    referring.append(&kept);
    referring.removeAll();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(kept.value, 4);
    referring.append(&kept);
    EXPECT_EQ(walk(referring), std::vector<int>{4});
}

} // namespace
} // namespace quillora
