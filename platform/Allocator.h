#pragma once

// The C library's allocator set for a start-up that allocates many large pictures on several
// threads at once.

namespace platform {

// To be called first thing in main, before any thread exists. With the allocator's defaults
// every buffer over 128 KiB is a mapping of its own and every heap growth a change of
// protection; each such call holds the process's memory map for writing and so stops the page
// faults of every other thread. Here large buffers come from the heaps, which grow in large
// steps and keep what is freed for the next picture. No effect outside glibc.
void TuneAllocatorForStartUp();

}  // namespace platform
