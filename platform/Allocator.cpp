#include "platform/Allocator.h"

#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
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
#endif
}

}  // namespace platform
