#include "bookdata/EntryPool.h"

#include <cstdlib>
#include <new>

namespace quillora::entrypool {

namespace {

constexpr std::size_t kGranule = 16;
constexpr std::size_t kClasses = 64; // blocks up to 1 KiB; larger ones use the heap
constexpr std::size_t kSlabSize = 64 * 1024;

struct FreeBlock {
    FreeBlock* next;
};

// A slab starts with the link to the slab before it, so the slabs stay
// reachable; they live as long as the process.
struct Slab {
    Slab* previous;
};

FreeBlock* freeLists[kClasses] = {};
Slab* lastSlab = nullptr;
char* slabCursor = nullptr;
char* slabEnd = nullptr;

std::size_t classOf(std::size_t size) {
    return (size + kGranule - 1) / kGranule - 1;
}

void* carve(std::size_t blockSize) {
    if (static_cast<std::size_t>(slabEnd - slabCursor) < blockSize) {
        void* memory = std::malloc(kSlabSize);
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        auto* slab = static_cast<Slab*>(memory);
        slab->previous = lastSlab;
        lastSlab = slab;
        slabCursor = static_cast<char*>(memory) + kGranule;
        slabEnd = static_cast<char*>(memory) + kSlabSize;
    }
    void* block = slabCursor;
    slabCursor += blockSize;
    return block;
}

} // namespace

void* allocate(std::size_t size) {
    if (size == 0 || size > kClasses * kGranule) {
        return ::operator new(size);
    }
    const std::size_t c = classOf(size);
    if (FreeBlock* block = freeLists[c]) {
        freeLists[c] = block->next;
        return block;
    }
    return carve((c + 1) * kGranule);
}

void release(void* block, std::size_t size) noexcept {
    if (block == nullptr) {
        return;
    }
    if (size == 0 || size > kClasses * kGranule) {
        ::operator delete(block);
        return;
    }
    const std::size_t c = classOf(size);
    auto* freed = static_cast<FreeBlock*>(block);
    freed->next = freeLists[c];
    freeLists[c] = freed;
}

} // namespace quillora::entrypool
