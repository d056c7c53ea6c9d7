#include "platform/Allocator.h"

#include <cstdint>
#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace platform {

void TuneAllocatorForStartUp() {
#if defined(__GLIBC__)
  // 32 MiB is the largest threshold glibc takes on 64-bit systems; a full-screen picture is
  // a few MiB. Heap growth only reserves pages: memory is used as it is written.
  constexpr int kLarge = 32 * 1024 * 1024;
  mallopt(M_MMAP_THRESHOLD, kLarge);
  mallopt(M_TOP_PAD, kLarge);
  mallopt(M_TRIM_THRESHOLD, 2 * kLarge);
  // One heap for every thread, so that the step below covers the workers' pictures too.
  mallopt(M_ARENA_MAX, 1);

  // Grow the heap once and ask for large pages on it: the start-up writes some 20 MiB of fresh
  // pictures, and a fault per 4 KiB page costs more than the writing. Where the system offers
  // no large pages the advice is ignored.
  void* probe = std::malloc(16 * 1024 * 1024);
  __asm__ volatile("" : : "r"(probe) : "memory");  // the allocation must really happen
  const auto from = reinterpret_cast<std::uintptr_t>(probe);
  const auto to = reinterpret_cast<std::uintptr_t>(sbrk(0));
  // Only a block carved from the heap below the break: another allocator (a sanitizer's)
  // keeps its memory elsewhere.
  constexpr std::uintptr_t kPage = 4096;
  if (probe && from < to && to - from <= 4u * kLarge) {
    const std::uintptr_t start = (from + kPage - 1) & ~(kPage - 1);
    madvise(reinterpret_cast<void*>(start), to - start, MADV_HUGEPAGE);
  }
  std::free(probe);  // the heap keeps it for the pictures to come
#endif
}

}  // namespace platform
