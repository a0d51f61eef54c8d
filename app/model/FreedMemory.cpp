#include "app/model/FreedMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace Tessarine {

void giveBackFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace Tessarine
