// What the process frees goes back to the system when asked: the freed pages between blocks
// still in use, and large blocks as soon as they are freed. Both depend on the C library, so
// each check runs only where it is glibc's and the allocator is not a sanitizer's.
#include "app/model/FreedMemory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

#include "support/PeakMemory.h"

using namespace Tessarine;

#if defined(__GLIBC__)

TEST(FreedMemory, PagesFreedBetweenBlocksInUseGoBackToTheSystem) {
    if (!PeakMemory::meaningful) GTEST_SKIP() << "the sanitizer's allocator keeps what is freed";
    // 64 MB in blocks of 1000 bytes, every sixteenth kept: what is freed lies between blocks in
    // use, where the C library does not give it back by itself.
    constexpr std::size_t blocks = 64 * 1024;
    std::vector<char*> all(blocks);
    for (auto& block : all) {
        block = static_cast<char*>(std::malloc(1000));
        std::memset(block, 1, 1000);
    }
    for (std::size_t i = 0; i < blocks; ++i)
        if (i % 16 != 0) std::free(std::exchange(all[i], nullptr));
    const long before = PeakMemory::resident();
    giveBackFreedMemory();
    const long after = PeakMemory::resident();
    EXPECT_GT(before - after, 32L << 20) << "resident " << before << " bytes before, " << after << " after";
    for (char* block : all) std::free(block);
}

TEST(FreedMemory, LargeBlocksAreMappedApartOnceAsked) {
    if (!PeakMemory::meaningful) GTEST_SKIP() << "the sanitizer's allocator has its own rules";
    giveBackLargeBlocksWhenFreed();
    // A 16 MB block freed would otherwise raise the threshold past the next large block. Held
    // through volatile pointers, so that the compiler keeps each allocation.
    void* volatile large = std::malloc(16u << 20);
    std::free(large);
    const std::size_t before = mallinfo2().hblkhd;
    void* volatile next = std::malloc(largeBlockBytes + 1024);
    EXPECT_GE(mallinfo2().hblkhd - before, std::size_t(largeBlockBytes)) << "mapped apart, not taken from the heap";
    std::free(next);
}

#endif
