// The allocator setting the navigator's start-up relies on must really reach the C library.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/Allocator.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#if defined(__GLIBC__)
TEST(Allocator, LargePicturesComeFromTheHeapOnceTuned) {
  platform::TuneAllocatorForStartUp();
  const size_t mappedBefore = mallinfo2().hblks;
  // A full-screen 32-bit picture: with the defaults it would be a mapping of its own.
  std::unique_ptr<char[]> picture(new char[1024 * 768 * 4]);
  picture[0] = 1;
  EXPECT_EQ(mallinfo2().hblks, mappedBefore);
}
#endif
