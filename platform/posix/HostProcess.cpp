#include "platform/Platform.h"

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

} // namespace quillora
