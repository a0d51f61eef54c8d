#include "app/model/FreedMemory.h"

// Included whatever the C library: it is what defines __GLIBC__, which nothing before it here does.
#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace Tessarine {

void giveBackFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void giveBackLargeBlocksWhenFreed() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, largeBlockBytes);
#endif
}

} // namespace Tessarine
