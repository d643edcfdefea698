// The memory of a loaded file's entries: taken in large blocks, handed out in
// order and freed all at once. Taking room for an entry is a few instructions
// inline, where a memory resource costs a call through its virtual table; a
// file has hundreds of thousands of entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillora {

class EntryArena {
public:
    // Room for size bytes at a multiple of align (at most that of any type).
    void* allocate(std::size_t size, std::size_t align) {
        const std::uintptr_t at = (reinterpret_cast<std::uintptr_t>(next_) + align - 1) &
                                  ~static_cast<std::uintptr_t>(align - 1);
        if (next_ == nullptr || at + size > reinterpret_cast<std::uintptr_t>(end_)) {
            return allocateInNewBlock(size, align);
        }
        next_ = reinterpret_cast<char*>(at + size);
        return reinterpret_cast<void*>(at);
    }
    // Frees every block; what was made in them must be destroyed first.
    void release() {
        std::vector<std::unique_ptr<char[]>>().swap(blocks_);
        next_ = nullptr;
        end_ = nullptr;
        nextBlock_ = kFirstBlock;
    }

private:
    // Blocks double up to a limit, so a small file takes little and a large
    // one few blocks; room a block never hands out is never touched.
    static constexpr std::size_t kFirstBlock = std::size_t{4} << 10;
    static constexpr std::size_t kLargestBlock = std::size_t{1} << 20;

    void* allocateInNewBlock(std::size_t size, std::size_t align) {
        const std::size_t block = size + align > nextBlock_ ? size + align : nextBlock_;
        blocks_.emplace_back(new char[block]);
        next_ = blocks_.back().get();
        end_ = next_ + block;
        if (nextBlock_ < kLargestBlock) {
            nextBlock_ *= 2;
        }
        return allocate(size, align);
    }

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    char* end_ = nullptr;
    std::size_t nextBlock_ = kFirstBlock;
};

} // namespace quillora
