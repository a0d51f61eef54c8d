#pragma once
// Gives the system back what a burst of work freed. The C library keeps freed memory for the
// process's later allocations: after thousands of session files are read on worker threads, the
// threads' own pools hold megabytes of freed reading buffers between the small summaries still
// in use, and the resident size stays more than twice what the list needs. Handing the free pages
// back takes a few milliseconds for a heap of a hundred megabytes, next to the second the reading
// took. Nothing where the C library offers no way to.
namespace Tessarine {

void giveBackFreedMemory();

// Makes blocks of largeBlockBytes and more (a session's long notes read whole, an export's
// buffers) mapped apart, so that each goes back to the system as soon as it is freed. Left to
// itself, glibc raises that threshold to the largest block freed so far, and its trim threshold
// to twice that, after which a worker that read a 31 MB session keeps tens of megabytes for the
// rest of the run. Called once, first thing in main.
constexpr int largeBlockBytes = 4 << 20;
void giveBackLargeBlocksWhenFreed();

} // namespace Tessarine
