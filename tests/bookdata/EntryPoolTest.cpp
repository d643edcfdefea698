// Entries come from a pool that hands freed blocks out again; no block may be
// handed out twice while in use, whatever the sizes.
#include "bookdata/EntryPool.h"
#include "bookdata/BookEntry.h"
#include "bookdata/GroupEntry.h"
#include "bookdata/ProgramEntry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace quillora {
namespace {

struct Block {
    unsigned char* memory;
    std::size_t size;
    unsigned char fill;
};

bool intact(const Block& b) {
    for (std::size_t i = 0; i < b.size; ++i) {
        if (b.memory[i] != b.fill) {
            return false;
        }
    }
    return true;
}

TEST(EntryPool, LiveBlocksNeverOverlapAndFreedOnesAreReused) {
    // Sizes of every class, past the largest pooled one, and odd ones.
    const std::size_t sizes[] = {1, 15, 16, 17, 200, 344, 512, 1023, 1024, 1025, 4000};
    std::vector<Block> live;
    unsigned char fill = 1;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 3000; ++i) {
            std::size_t size = sizes[static_cast<std::size_t>(i) % std::size(sizes)];
            auto* memory = static_cast<unsigned char*>(entrypool::allocate(size));
            ASSERT_NE(memory, nullptr);
            std::memset(memory, fill, size);
            live.push_back({memory, size, fill});
            fill = static_cast<unsigned char>(fill % 250 + 1);
        }
        // Free every other block, then check that the rest were not touched.
        std::vector<Block> kept;
        for (std::size_t i = 0; i < live.size(); ++i) {
            if (i % 2 == 0) {
                entrypool::release(live[i].memory, live[i].size);
            } else {
                kept.push_back(live[i]);
            }
        }
        live.swap(kept);
        for (const Block& b : live) {
            ASSERT_TRUE(intact(b)) << "a live block of " << b.size << " bytes was overwritten";
        }
    }
    void* again = entrypool::allocate(344);
    entrypool::release(again, 344);
    EXPECT_EQ(entrypool::allocate(344), again) << "the freed block is handed out first";
    entrypool::release(again, 344);
    for (const Block& b : live) {
        entrypool::release(b.memory, b.size);
    }
}

TEST(EntryPool, EntriesOfEveryKindKeepTheirFieldsAcrossReuse) {
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<LibraryEntry>> entries;
        for (int i = 0; i < 2000; ++i) {
            std::unique_ptr<LibraryEntry> e;
            switch (i % 3) {
            case 0:
                e = std::make_unique<BookEntry>(nullptr);
                break;
            case 1:
                e = std::make_unique<GroupEntry>(nullptr);
                break;
            default:
                e = std::make_unique<ProgramEntry>(nullptr);
            }
            e->id = i;
            e->name =
                "Entry number " + std::to_string(i) + " of the round " + std::to_string(round);
            entries.push_back(std::move(e));
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const LibraryEntry& e = *entries[i];
            ASSERT_EQ(e.id, static_cast<std::int32_t>(i));
            ASSERT_EQ(e.name, "Entry number " + std::to_string(i) + " of the round " +
                                  std::to_string(round));
            ASSERT_EQ(e.kind, i % 3 == 0   ? EntryKind::Book
                              : i % 3 == 1 ? EntryKind::Group
                                           : EntryKind::Program);
        }
    }
}

} // namespace
} // namespace quillora
