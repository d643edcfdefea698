#include "platform/Platform.h"

#include <iostream>
#include <malloc.h>

namespace quillora {

void prepareHostProcess() {
#if defined(__GLIBC__)
    // Left to itself, glibc hands blocks of this size back to the system when
    // they are freed and faults them in again, page by page, for the next
    // package. Kept instead, they cost nothing beyond the peak a run reaches.
    constexpr int kKeptBlock = 32 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kKeptBlock);
    mallopt(M_TRIM_THRESHOLD, 2 * kKeptBlock);
#endif
}

std::unique_ptr<std::ostream> makeMessageOutput() {
    // Kept in step with C's stdout, every character would be a call into it;
    // on its own, the stream holds a line until its flush and writes it at once.
    // Nothing has been written yet: the first thing main does is ask for this.
    std::ios_base::sync_with_stdio(false);
    return std::make_unique<std::ostream>(std::cout.rdbuf());
}

} // namespace quillora
