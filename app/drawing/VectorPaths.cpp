#include "app/drawing/VectorPaths.h"

#include <algorithm>
#include <atomic>

namespace Tessarine::VectorPaths {

namespace {

Width detect() {
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init(); // in case this runs before the library's own start-up code
    if (__builtin_cpu_supports("avx2")) return Width::bits256;
#endif
#if defined(__SSE2__)
    return Width::bits128;
#else
    return Width::plain;
#endif
}

// Read by every blur and blend, on any thread; changed only by tests.
std::atomic<Width> limit{Width::bits256};

} // namespace

Width widest() {
    static const Width found = detect();
    return found;
}

Width current() { return std::min(limit.load(std::memory_order_relaxed), widest()); }

bool force(Width width) {
    limit.store(width, std::memory_order_relaxed);
    return width <= widest();
}

} // namespace Tessarine::VectorPaths
