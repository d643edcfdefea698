// Storage for entries. A run loads a package's thousands of entries, frees
// them all after its save and loads the next package's, of the same few sizes:
// freed blocks are kept by size and handed out again, which costs a fraction
// of a trip through the general heap. Like the rest of the program, it is for
// one thread.
#pragma once

#include <cstddef>

namespace quillora::entrypool {

void* allocate(std::size_t size);
// size is the one given to allocate.
void release(void* block, std::size_t size) noexcept;

} // namespace quillora::entrypool
