#pragma once
// Gives the system back what a burst of work freed. The C library keeps freed memory for the
// process's later allocations: after thousands of session files are read on worker threads, the
// threads' own pools hold megabytes of freed reading buffers between the small summaries still
// in use, and the resident size stays more than twice what the list needs. Handing the free pages
// back takes a few milliseconds for a heap of a hundred megabytes, next to the second the reading
// took. Nothing where the C library offers no way to.
namespace Tessarine {

void giveBackFreedMemory();

} // namespace Tessarine
