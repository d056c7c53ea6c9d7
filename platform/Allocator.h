#pragma once

// The C library's allocator set for a start-up that allocates many large pictures on several
// threads at once.

namespace platform {

// To be called first thing in main, before any thread exists. With the allocator's defaults
// every buffer over 128 KiB is a mapping of its own and every heap growth a change of
// protection; each such call holds the process's memory map for writing and so stops the page
// faults of every other thread. Here large buffers come from one heap, shared by all threads,
// which grows in large steps, keeps what is freed for the next picture and asks for large
// pages, so that writing a new picture does not fault once per 4 KiB. No effect outside glibc.
void TuneAllocatorForStartUp();

}  // namespace platform
